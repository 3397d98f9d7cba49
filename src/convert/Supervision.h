#pragma once
#include <chrono>
#include <cstdint>
#include <memory>

#include "FailureReason.h"
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

    // Takes charge of a started converter and returns its identifier.
    std::int32_t Adopt(std::unique_ptr<platform::ChildProcess> child);
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
    void Refresh(bool untilConverterEnds);
    void PauseFor(std::chrono::milliseconds length, bool untilConverterEnds);

    RunView& view_;
    Timing timing_;
    std::unique_ptr<platform::ChildProcess> child_;
    OutputTail tail_;
    int refreshCount_ = 0;
};

}  // namespace convert
