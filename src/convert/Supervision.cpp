#include "Supervision.h"

namespace convert {

std::int32_t Supervisor::Adopt(std::unique_ptr<platform::ChildProcess> child) {
    child_ = std::move(child);
    tail_.Clear();
    return child_ ? child_->Id() : 0;
}

void Supervisor::Pump() {
    view_.PumpEvents();
    if (view_.Unloaded()) throw RunAborted{};
}

void Supervisor::ForwardOutput() {
    if (!child_) return;
    std::string text = child_->TakeOutput();
    if (text.empty()) return;
    tail_.Add(text);
    view_.ConverterOutput(text);
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
