#pragma once
#include <chrono>
#include <cstdint>
#include <memory>

#include "ConverterProgress.h"
#include "FailureReason.h"
#include "RunProgress.h"
#include "RunView.h"
#include "platform/Process.h"

namespace convert {

// The run's fixed pauses. Tests shorten them; the program uses these.
struct Timing {
    std::chrono::milliseconds refreshPause{1000};
    std::chrono::milliseconds failurePause{5000};
    std::chrono::milliseconds waitStep{100};
};

// Thrown out of a pump when the main window was unloaded inside it: the run
// stops where it is, with no further log line, status or file operation.
struct RunAborted {};

// Keeps the window alive while the converter runs, and makes sure the
// converter never outlives the main window.
class Supervisor {
public:
    Supervisor(RunView& view, Timing timing) : view_(view), timing_(timing) {}

    // The running converter's identifier; 0 when none runs.
    std::int32_t lConverterPid = 0;

    // Takes charge of a started converter and returns its identifier. Its
    // progress goes to the view, and its percent to `run` when given.
    std::int32_t Adopt(std::unique_ptr<platform::ChildProcess> child, RunProgress* run = nullptr);
    // The converter last adopted (it stays inspectable after it ended).
    platform::ChildProcess* Converter() { return child_.get(); }
    // The end of what the converter last adopted has written so far.
    const std::string& ConverterTail() const { return tail_.Text(); }

    // Repaints, handles pending events, then pauses one refresh period.
    void RefreshScreen();
    // Returns when the process has ended; testing every wait step with a
    // RefreshScreen between the tests, whose pause ends early when the process
    // does. Returns at once for an unknown id.
    void WaitForExitProcess(std::int32_t lProcessId);
    // A pause of the given length during which the window stays painted and
    // answering, and the converter's output keeps flowing to its window.
    void Pause(std::chrono::milliseconds length);
    // Handles pending events now, without a pause (between pieces of work).
    void KeepAlive();
    // The main window's unload: stops a converter that is still running.
    void Form_Unload();

    const Timing& timing() const { return timing_; }
    int refreshCount() const { return refreshCount_; }

private:
    void Pump();
    void ForwardOutput();
    // Tells the view how the converter is getting on: when output came,
    // else once the clock has moved on since the last time.
    void TellProgress(bool outputCame);
    void Refresh(bool untilConverterEnds);
    void PauseFor(std::chrono::milliseconds length, bool untilConverterEnds);

    RunView& view_;
    Timing timing_;
    std::unique_ptr<platform::ChildProcess> child_;
    RunProgress* run_ = nullptr;
    // The converter at hand: how far it got, its output as a console shows
    // it, and the end of that output, for the reason it failed.
    ConverterProgress progress_;
    ConsoleText console_;
    OutputTail tail_;
    std::chrono::steady_clock::time_point started_, told_;
    int refreshCount_ = 0;
};

}  // namespace convert
