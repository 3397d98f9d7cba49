#include "Supervision.h"

namespace convert {

namespace {
// How often the time spent and left are told while the converter is silent.
constexpr std::chrono::milliseconds kClockStep{500};
}  // namespace

std::int32_t Supervisor::Adopt(std::unique_ptr<platform::ChildProcess> child, RunProgress* run) {
    child_ = std::move(child);
    run_ = run;
    output_ = ConverterOutput();
    started_ = std::chrono::steady_clock::now();
    if (child_) TellProgress(true);
    return child_ ? child_->Id() : 0;
}

void Supervisor::Pump() {
    view_.PumpEvents();
    if (view_.Unloaded()) throw RunAborted{};
}

void Supervisor::ForwardOutput() {
    // Once the run has let go of it, the converter's window is gone.
    if (!child_ || lConverterPid == 0) return;
    std::string text = child_->TakeOutput();
    if (!text.empty()) output_.Add(text);
    TellProgress(!text.empty());
}

void Supervisor::TellProgress(bool outputCame) {
    const auto now = std::chrono::steady_clock::now();
    if (!outputCame && now - told_ < kClockStep) return;
    told_ = now;
    FileProgress shown;
    shown.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - started_);
    shown.percent = output_.Progress().Percent();
    shown.left = output_.Progress().TimeLeft(shown.elapsed);
    shown.newLines = output_.TakeNewLines();
    shown.lastLine = output_.LastLine();
    view_.ShowFileProgress(shown);
    if (run_) run_->FilePercent(shown.percent);
}

void Supervisor::RefreshScreen() {
    ++refreshCount_;
    view_.Repaint();
    Pump();
}

void Supervisor::KeepAlive() { Pump(); }

void Supervisor::WaitForExitProcess(std::int32_t lProcessId) {
    if (lProcessId == 0 || !child_ || child_->Id() != lProcessId) return;
    for (;;) {
        // Waiting on the converter drains its output meanwhile.
        const bool ended = child_->WaitFor(kPumpSlice);
        ForwardOutput();
        if (ended) return;
        Pump();
    }
}

void Supervisor::Form_Unload() {
    if (lConverterPid != 0 && child_) child_->Terminate();
}

}  // namespace convert
