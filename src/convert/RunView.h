#pragma once
#include <string>
#include <vector>

#include "FailureReason.h"

#include "intake/IntakeView.h"

namespace convert {

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

    // The converter's own window: shows its live output, never takes the focus.
    // `number` is the file's place in the run (1 to `count`).
    virtual void ConverterStarted(const std::string& title, int number, int count) = 0;
    virtual void ConverterOutput(const std::string& text) = 0;
    virtual void ConverterEnded() = 0;
    // File `number` of `count` has its log line's " SUCCESS" or " FAIL".
    virtual void FileFinished(int number, int count, bool succeeded) { (void)number, (void)count, (void)succeeded; }

    // The run is over (FINISH): how many files reached the Desktop and how
    // many did not. Not called when the window was closed mid-run.
    virtual void RunEnded(int converted, int failed) { (void)converted, (void)failed; }
    // Then, when files failed: each with its reason, in the run's order, and
    // how many files the run had.
    virtual void ShowFailures(const std::vector<FailedClip>& failed, int count) { (void)failed, (void)count; }
};

}  // namespace convert
