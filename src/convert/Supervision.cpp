#include "Supervision.h"

#include <algorithm>
#include <thread>

namespace convert {

namespace {
// How often a pause looks at the window's events: often enough that the
// window answers at once, rarely enough to cost nothing.
constexpr std::chrono::milliseconds kPumpSlice{15};
}  // namespace

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

void Supervisor::RefreshScreen() { Refresh(false); }

void Supervisor::KeepAlive() { Pump(); }

void Supervisor::Refresh(bool untilConverterEnds) {
    ++refreshCount_;
    view_.Repaint();
    Pump();
    PauseFor(timing_.refreshPause, untilConverterEnds);
}

void Supervisor::Pause(std::chrono::milliseconds length) { PauseFor(length, false); }

void Supervisor::PauseFor(std::chrono::milliseconds length, bool untilConverterEnds) {
    const auto end = std::chrono::steady_clock::now() + length;
    for (;;) {
        Pump();
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) break;
        const auto slice =
            std::min<std::chrono::steady_clock::duration>(end - now, kPumpSlice);
        if (child_) {
            // Waiting on the converter drains its output meanwhile.
            const bool ended =
                child_->WaitFor(std::chrono::duration_cast<std::chrono::milliseconds>(slice));
            ForwardOutput();
            if (ended && untilConverterEnds) break;
            if (ended) std::this_thread::sleep_for(slice);
        } else {
            std::this_thread::sleep_for(slice);
        }
    }
}

void Supervisor::WaitForExitProcess(std::int32_t lProcessId) {
    if (lProcessId == 0 || !child_ || child_->Id() != lProcessId) return;
    bool ended = child_->WaitFor(timing_.waitStep);
    ForwardOutput();
    while (!ended) {
        // The refresh's pause ends with the converter: the run goes on at once.
        Refresh(true);
        ended = child_->WaitFor(timing_.waitStep);
        ForwardOutput();
    }
}

void Supervisor::Form_Unload() {
    if (lConverterPid != 0 && child_) child_->Terminate();
}

}  // namespace convert
