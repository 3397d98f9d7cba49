#include "Supervision.h"

#include <algorithm>

namespace convert {

namespace {
// How often the time spent and left are told while the converter is silent.
constexpr std::chrono::milliseconds kClockStep{500};
}  // namespace

std::int32_t Supervisor::Watch(std::unique_ptr<platform::ChildProcess> child, RunProgress* run, int number) {
    if (!child) return 0;
    auto w = std::make_unique<Watched>();
    w->child = std::move(child);
    w->run = run;
    w->number = number;
    w->started = std::chrono::steady_clock::now();
    const std::int32_t id = w->child->Id();
    watched_.push_back(std::move(w));
    return id;
}

std::int32_t Supervisor::Adopt(std::unique_ptr<platform::ChildProcess> child, RunProgress* run, int number) {
    const std::int32_t id = Watch(std::move(child), run, number);
    Show(id);
    return id;
}

void Supervisor::Show(std::int32_t id) {
    shown_ = id;
    if (Watched* w = Find(id)) TellProgress(*w, true);
}

Supervisor::Watched* Supervisor::Find(std::int32_t id) const {
    if (id == 0) return nullptr;
    auto it = std::find_if(watched_.begin(), watched_.end(), [&](const auto& w) { return w->child->Id() == id; });
    return it == watched_.end() ? nullptr : it->get();
}

platform::ChildProcess* Supervisor::Converter(std::int32_t id) {
    Watched* w = Find(id);
    return w ? w->child.get() : nullptr;
}

std::string Supervisor::ConverterTail(std::int32_t id) const {
    Watched* w = Find(id);
    return w ? w->output.Tail() : std::string();
}

void Supervisor::Release(std::int32_t id) {
    std::erase_if(watched_, [&](const auto& w) {
        if (w->child->Id() != id) return false;
        if (!w->ended) w->child->Terminate();
        return true;
    });
    if (shown_ == id) shown_ = 0;
}

int Supervisor::Running() const {
    return static_cast<int>(std::count_if(watched_.begin(), watched_.end(), [](const auto& w) { return !w->ended; }));
}

bool Supervisor::Poll(Watched& w, std::chrono::milliseconds limit) {
    if (w.ended) return false;
    w.ended = w.child->WaitFor(limit);
    std::string text = w.child->TakeOutput();
    if (!text.empty()) w.output.Add(text);
    if (w.child->Id() == shown_) TellProgress(w, !text.empty());
    if (w.run) {
        // A converter that finished well has done its whole share of the run.
        const bool done = w.ended && w.child->Succeeded();
        w.run->FilePercent(w.number, done ? std::optional<int>(100) : w.output.Progress().Percent());
    }
    return w.ended;
}

void Supervisor::Pump() {
    view_.PumpEvents();
    if (view_.Unloaded()) throw RunAborted{};
    // The converters beside the one waited for are read here, so none
    // stalls on a full pipe, and a free place is taken up at once.
    bool ended = false;
    for (std::size_t k = 0; k < watched_.size(); ++k)
        if (watched_[k]->child->Id() != lConverterPid) ended = Poll(*watched_[k], {}) || ended;
    if (ended && onEnded) onEnded();
}

void Supervisor::TellProgress(Watched& w, bool outputCame) {
    const auto now = std::chrono::steady_clock::now();
    if (!outputCame && now - w.told < kClockStep) return;
    w.told = now;
    FileProgress shown;
    shown.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - w.started);
    shown.percent = w.output.Progress().Percent();
    shown.left = w.output.Progress().TimeLeft(shown.elapsed);
    shown.newLines = w.output.TakeNewLines();
    shown.lastLine = w.output.LastLine();
    view_.ShowFileProgress(shown);
}

void Supervisor::RefreshScreen() {
    ++refreshCount_;
    view_.Repaint();
    Pump();
}

void Supervisor::KeepAlive() { Pump(); }

void Supervisor::WaitForExitProcess(std::int32_t lProcessId) {
    Watched* w = Find(lProcessId);
    if (!w) return;
    // Waiting on the converter drains its output meanwhile.
    while (!w->ended) {
        if (Poll(*w, kPumpSlice)) return;
        Pump();
        w = Find(lProcessId);  // a pump may take charge of more
    }
}

void Supervisor::Form_Unload() {
    for (auto& w : watched_)
        if (!w->ended) w->child->Terminate(), w->ended = true;
}

}  // namespace convert
