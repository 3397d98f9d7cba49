#pragma once
#include <chrono>
#include <cstdint>
#include <memory>

#include "ConverterOutput.h"
#include "FailureReason.h"
#include "RunProgress.h"
#include "RunView.h"
#include "platform/Process.h"

namespace convert {

// Thrown out of a pump when the main window was unloaded inside it: the run
// stops where it is, with no further log line, status or file operation.
struct RunAborted {};

// Keeps the window alive while the converter runs, and makes sure the
// converter never outlives the main window. Nothing here sleeps for its own
// sake: the window is answered between short waits on the converter.
class Supervisor {
public:
    explicit Supervisor(RunView& view) : view_(view) {}

    // How long one wait on the converter lasts before the window is answered
    // again: the converter's end is seen within it.
    static constexpr std::chrono::milliseconds kPumpSlice{15};

    // The running converter's identifier; 0 when none runs.
    std::int32_t lConverterPid = 0;

    // Takes charge of a started converter and returns its identifier. Its
    // progress goes to the view, and its percent to `run` when given.
    std::int32_t Adopt(std::unique_ptr<platform::ChildProcess> child, RunProgress* run = nullptr);
    // The converter last adopted (it stays inspectable after it ended).
    platform::ChildProcess* Converter() { return child_.get(); }
    // The end of what the converter last adopted has written so far.
    std::string ConverterTail() const { return output_.Tail(); }

    // Paints what was just set and handles pending events; the status stays
    // on the screen until the next one replaces it.
    void RefreshScreen();
    // Returns when the process has ended, answering the window and passing on
    // the converter's output between waits of one pump slice. Returns at once
    // for an unknown id.
    void WaitForExitProcess(std::int32_t lProcessId);
    // Handles pending events now (between pieces of work).
    void KeepAlive();
    // The main window's unload: stops a converter that is still running.
    void Form_Unload();

    int refreshCount() const { return refreshCount_; }

private:
    void Pump();
    void ForwardOutput();
    // Tells the view how the converter is getting on: when output came,
    // else once the clock has moved on since the last time.
    void TellProgress(bool outputCame);

    RunView& view_;
    std::unique_ptr<platform::ChildProcess> child_;
    RunProgress* run_ = nullptr;
    // The converter at hand's output: how far it got, its console's lines
    // and its end, for the reason it failed.
    ConverterOutput output_;
    std::chrono::steady_clock::time_point started_, told_;
    int refreshCount_ = 0;
};

}  // namespace convert
