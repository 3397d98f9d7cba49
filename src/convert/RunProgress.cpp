#include "RunProgress.h"

#include <algorithm>

#include "text/Translate.h"

namespace convert {

using text::Fill;
using text::Tr;

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

std::string ConvertingTitle(const std::string& fileName) { return Fill(Tr("Converting %1"), {fileName}); }

std::string PlaceText(int number, int count) {
    return Fill(Tr("%1 of %2"), {std::to_string(number), std::to_string(count)});
}

std::string ElapsedText(std::chrono::milliseconds spent) {
    return Fill(Tr("Elapsed %1"), {ClockText(std::chrono::duration_cast<std::chrono::seconds>(spent))});
}

std::string TimeLeftText(std::optional<std::chrono::seconds> left) {
    return left ? Fill(Tr("About %1 left"), {ClockText(*left)}) : std::string();
}

std::string RunEndTitle() { return Tr("Clipvane has finished"); }

std::string RunEndText(int converted, int failed) {
    const std::string files =
        Fill(text::TrN("%1 file converted", "%1 files converted", static_cast<unsigned long>(converted)),
             {std::to_string(converted)});
    return Fill(Tr("%1, %2 failed."), {files, std::to_string(failed)});
}

void ConsoleText::Add(std::string_view chunk) {
    for (char c : chunk) {
        if (c == '\r') {
            overwrite_ = true;
            continue;
        }
        if (overwrite_ && c != '\n') text_.resize(lineStart_);
        overwrite_ = false;
        text_ += c;
        if (c == '\n') {
            newLines_.append(text_, lineStart_);
            lineStart_ = text_.size();
        }
    }
    if (newLines_.size() > keep_ * 2) {
        const std::size_t cut = newLines_.find('\n', newLines_.size() - keep_);
        newLines_.erase(0, cut + 1);
    }
    if (text_.size() > keep_ * 2) {
        // Whole lines only.
        std::size_t cut = text_.find('\n', text_.size() - keep_);
        if (cut == std::string::npos || cut >= lineStart_) return;
        text_.erase(0, cut + 1);
        lineStart_ -= cut + 1;
    }
}

}  // namespace convert
