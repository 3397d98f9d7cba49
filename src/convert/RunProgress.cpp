#include "RunProgress.h"

#include <algorithm>

namespace convert {

void RunProgress::FileStarted(int number, int count, int span) {
    count_ = count;
    converting_[number] = {span, 0.0};
    Tell();
}

void RunProgress::FilePercent(int number, std::optional<int> percent) {
    auto it = converting_.find(number);
    if (it == converting_.end()) return;
    if (percent) it->second.second = std::clamp(*percent, 0, 100) / 100.0;
    Tell();
}

void RunProgress::FileFinished(int number, int count, bool succeeded, int span) {
    count_ = count;
    converting_.erase(number);
    // Files end in the run's order: all before this one have ended.
    done_ = number - 1 + span;
    if (!succeeded) failed_ = true;
    Tell();
}

void RunProgress::Tell() {
    const int percent = static_cast<int>(Fraction() * 100);
    if (!view_ || (percent == toldPercent_ && failed_ == toldFailed_)) return;
    toldPercent_ = percent;
    toldFailed_ = failed_;
    view_->ShowRunProgress(Fraction(), failed_);
}

double RunProgress::Fraction() const {
    if (count_ <= 0) return 0;
    // Files skipped before the first one converting count as done.
    double files = converting_.empty() ? done_ : std::max(done_, converting_.begin()->first - 1);
    for (const auto& [number, file] : converting_) files += file.first * file.second;
    return std::clamp(files / count_, 0.0, 1.0);
}

}  // namespace convert
