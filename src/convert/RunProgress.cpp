#include "RunProgress.h"

#include <algorithm>

namespace convert {

void RunProgress::FileStarted(int number, int count, int span) {
    number_ = number;
    count_ = count;
    span_ = span;
    file_ = 0;
    Tell();
}

void RunProgress::FilePercent(std::optional<int> percent) {
    if (percent) file_ = std::clamp(*percent, 0, 100) / 100.0;
    Tell();
}

void RunProgress::FileFinished(int number, int count, bool succeeded, int span) {
    number_ = number;
    count_ = count;
    span_ = span;
    file_ = 1;
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
    if (count_ <= 0 || number_ <= 0) return 0;
    return std::clamp((number_ - 1 + span_ * file_) / count_, 0.0, 1.0);
}

}  // namespace convert
