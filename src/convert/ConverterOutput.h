#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "ConverterProgress.h"

namespace convert {

// The converter's output, kept once, as a console shows it: a line that
// ends in a carriage return is replaced by the next, so its progress line
// does not fill thousands of lines. From it come how far the converter has
// got, the console's lines as they come, and its last lines, for the reason
// it failed. Only the last `keep` bytes or so of whole lines are kept.
class ConverterOutput {
public:
    explicit ConverterOutput(std::size_t keep = kKept) : keep_(keep) {}
    void Add(std::string_view chunk);

    const ConverterProgress& Progress() const { return progress_; }
    // The whole lines added since the last call.
    std::string TakeNewLines();
    // The line being written, which a progress line may still replace.
    std::string LastLine() const { return text_.substr(lineStart_); }
    // The end of the output, at most `keep` bytes, from the start of a line
    // where one starts there.
    std::string Tail() const;

    static constexpr std::size_t kKept = 8192;

private:
    void LineEnded();

    ConverterProgress progress_;
    std::string text_;
    std::string newLines_;
    std::size_t lineStart_ = 0;  // where the line being written begins
    bool overwrite_ = false;     // the next character replaces that line
    bool lineRead_ = false;      // the line being written was read for progress
    std::size_t keep_;
};

}  // namespace convert
