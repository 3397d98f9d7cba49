#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ConverterOutput.h"
#include "FailureReason.h"
#include "RunProgress.h"
#include "RunView.h"
#include "platform/Process.h"

namespace convert {

// Thrown out of a pump when the main window was unloaded inside it: the run
// stops where it is, with no further log line, status or file operation.
struct RunAborted {};

// Keeps the window alive while converters run, and makes sure no converter
// outlives the main window. Several may run at once: the progress window
// shows one, and the others are read beside it on the same thread. Nothing
// here sleeps for its own sake: the window is answered between short waits.
class Supervisor {
public:
    explicit Supervisor(RunView& view) : view_(view) {}

    // How long one wait on the converter lasts before the window is answered
    // again: the converter's end is seen within it.
    static constexpr std::chrono::milliseconds kPumpSlice{15};

    // The converter the run waits for; 0 when none.
    std::int32_t lConverterPid = 0;

    // Takes charge of a started converter, shows it, and returns its
    // identifier. Its progress goes to the view, and its percent, as file
    // `number`'s, to `run` when given.
    std::int32_t Adopt(std::unique_ptr<platform::ChildProcess> child, RunProgress* run = nullptr, int number = 0);
    // Takes charge of a converter that runs beside the one shown: its output
    // is read and kept, and its percent goes to `run`, but not to the view.
    std::int32_t Watch(std::unique_ptr<platform::ChildProcess> child, RunProgress* run, int number);
    // The progress window shows this converter from now on, with all it has
    // written so far.
    void Show(std::int32_t id);
    // A converter taken charge of (it stays inspectable after it ended);
    // without an identifier, the one shown. nullptr when unknown.
    platform::ChildProcess* Converter(std::int32_t id);
    platform::ChildProcess* Converter() { return Converter(shown_); }
    // The end of what a converter has written so far.
    std::string ConverterTail(std::int32_t id) const;
    std::string ConverterTail() const { return ConverterTail(shown_); }
    // Lets go of a converter once its result has been dealt with; one still
    // running is stopped.
    void Release(std::int32_t id);
    // How many of the converters in charge are still running.
    int Running() const;
    // Called between pumps when a converter beside the one waited for ends.
    std::function<void()> onEnded;

    // Paints what was just set and handles pending events; the status stays
    // on the screen until the next one replaces it.
    void RefreshScreen();
    // Returns when the process has ended, answering the window and passing on
    // every converter's output between waits of one pump slice. Returns at
    // once for an unknown id.
    void WaitForExitProcess(std::int32_t lProcessId);
    // Handles pending events now (between pieces of work).
    void KeepAlive();
    // The main window's unload: stops every converter still running.
    void Form_Unload();

    int refreshCount() const { return refreshCount_; }

private:
    struct Watched {
        std::unique_ptr<platform::ChildProcess> child;
        RunProgress* run = nullptr;
        int number = 0;
        // How far it got, its console's lines and its end, for the reason
        // it failed.
        ConverterOutput output;
        std::chrono::steady_clock::time_point started, told;
        bool ended = false;
    };
    Watched* Find(std::int32_t id) const;
    void Pump();
    // Reads what a converter wrote and notes its end; true when it ended now.
    bool Poll(Watched& w, std::chrono::milliseconds limit);
    // Tells the view how the converter shown is getting on: when output
    // came, else once the clock has moved on since the last time.
    void TellProgress(Watched& w, bool outputCame);

    RunView& view_;
    std::vector<std::unique_ptr<Watched>> watched_;
    std::int32_t shown_ = 0;
    int refreshCount_ = 0;
};

}  // namespace convert
