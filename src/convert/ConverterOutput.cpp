#include "ConverterOutput.h"

#include <utility>

namespace convert {

namespace {
// Drops whole lines from the front of `text` until at most about `keep`
// bytes are left, never cutting into the text from `end` on; how many went.
std::size_t DropLines(std::string& text, std::size_t keep, std::size_t end) {
    if (text.size() <= keep) return 0;
    const std::size_t cut = text.find('\n', text.size() - keep);
    if (cut == std::string::npos || cut >= end) return 0;
    text.erase(0, cut + 1);
    return cut + 1;
}
}  // namespace

void ConverterOutput::LineEnded() {
    // A progress line ends in a carriage return, the rest in a line feed.
    if (!lineRead_ && text_.size() - lineStart_ <= ConverterProgress::kLongestLine)
        progress_.ReadLine(std::string_view(text_).substr(lineStart_));
    lineRead_ = true;
}

void ConverterOutput::Add(std::string_view chunk) {
    for (char c : chunk) {
        if (c == '\r') {
            LineEnded();
            overwrite_ = true;
            continue;
        }
        if (overwrite_ && c != '\n') {
            text_.resize(lineStart_);
            lineRead_ = false;
        }
        overwrite_ = false;
        if (c == '\n') {
            LineEnded();
            text_ += c;
            newLines_.append(text_, lineStart_);
            lineStart_ = text_.size();
            lineRead_ = false;
            continue;
        }
        text_ += c;
    }
    // Trimmed now and then, not at every line.
    if (newLines_.size() > keep_ * 2) DropLines(newLines_, keep_, newLines_.size());
    if (text_.size() > keep_ * 2) lineStart_ -= DropLines(text_, keep_, lineStart_);
}

std::string ConverterOutput::TakeNewLines() { return std::exchange(newLines_, std::string()); }

std::string ConverterOutput::Tail() const {
    std::string tail = text_;
    if (DropLines(tail, keep_, tail.size()) == 0 && tail.size() > keep_) tail.erase(0, tail.size() - keep_);
    return tail;
}

}  // namespace convert
