#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "FailureReason.h"

#include "intake/IntakeView.h"

namespace convert {

// The file being converted, as its progress window shows it.
struct FileProgress {
    std::optional<int> percent;  // 0 to 100; none while the clip's length is unknown
    std::chrono::milliseconds elapsed{0};
    std::optional<std::chrono::seconds> left;  // none until the rate can be told
    // The converter's output as a console shows it, since the last update:
    // whole lines to add, then the line being written, which replaces the
    // last line shown (a progress line is redrawn in its place).
    std::string newLines;
    std::string lastLine;
};

// What a conversion run needs of the main window, beyond what the intake uses.
class RunView : public intake::IntakeView {
public:
    // The state SetCommand1 last set, in English, whatever the button reads.
    virtual std::string Command1Caption() = 0;
    virtual void AppendLogText(const std::string& text) = 0;
    virtual void SetLabel1(const std::string& caption) = 0;
    virtual void SetLabel2(const std::string& caption) = 0;
    // Paints the window and its progress elements now, not later.
    virtual void Repaint() = 0;
    // Handles every pending event (clicks, drops, the window being closed).
    virtual void PumpEvents() = 0;
    // True once the main window has been unloaded: the program is ending.
    virtual bool Unloaded() = 0;
    virtual void UnloadMainWindow() = 0;

    // The converter's progress window, which never takes the focus: the clip
    // by the name its user knows (`name`, and the whole `path`) and its place
    // in the run (`number` of `count`).
    virtual void ConverterStarted(const std::string& name, const std::string& path, int number, int count) = 0;
    virtual void ShowFileProgress(const FileProgress& progress) = 0;
    virtual void ConverterEnded() = 0;
    // The whole run's progress, 0 to 1, and whether a file of it failed; told
    // only when a visible step (a whole percent, or the failure) changes.
    virtual void ShowRunProgress(double fraction, bool failed) { (void)fraction, (void)failed; }

    // The run is over (FINISH): how many files reached the Desktop and how
    // many did not. Not called when the window was closed mid-run.
    virtual void RunEnded(int converted, int failed) { (void)converted, (void)failed; }
    // Then, when files failed: each with its reason, in the run's order, and
    // how many files the run had.
    virtual void ShowFailures(const std::vector<FailedClip>& failed, int count) { (void)failed, (void)count; }
};

}  // namespace convert
