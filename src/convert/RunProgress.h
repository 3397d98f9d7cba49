#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "ConverterProgress.h"
#include "RunView.h"

namespace convert {

// How far the whole run has got, for the task bar: file i of N at p percent
// is (i - 1 + p / 100) / N of the run. Tells the view at each visible step.
class RunProgress {
public:
    explicit RunProgress(RunView* view = nullptr) : view_(view) {}
    // A recording of `span` files, from file `number` on, counts as that many.
    void FileStarted(int number, int count, int span = 1);
    // The converter's percent for the current file; none while unknown.
    void FilePercent(std::optional<int> percent);
    void FileFinished(int number, int count, bool succeeded, int span = 1);

    // 0 to 1.
    double Fraction() const;
    // True once a file of this run has failed.
    bool Failed() const { return failed_; }

private:
    void Tell();

    RunView* view_;
    int number_ = 0, count_ = 0, span_ = 1;
    double file_ = 0;  // of the current file, 0 to 1
    bool failed_ = false;
    int toldPercent_ = -1;  // none yet
    bool toldFailed_ = false;
};

// What a progress window shows, in the user's language, on every face.
std::string ConvertingTitle(const std::string& fileName);  // "Converting Garden.MTS"
std::string PlaceText(int number, int count);              // "2 of 5"
std::string ElapsedText(std::chrono::milliseconds spent);  // "Elapsed 0:07"
// "About 1:20 left", or "" while the rate cannot be told.
std::string TimeLeftText(std::optional<std::chrono::seconds> left);

// The end-of-run notice's title and text, e.g. "3 files converted, 1 failed."
std::string RunEndTitle();
std::string RunEndText(int converted, int failed);

// The converter's output as a console shows it: a line that ends in a
// carriage return is replaced by the next, so its progress line does not
// fill thousands of lines. Only the last `keep` bytes or so are kept.
class ConsoleText {
public:
    explicit ConsoleText(std::size_t keep = 64 * 1024) : keep_(keep) {}
    void Add(std::string_view chunk);
    const std::string& Text() const { return text_; }
    // The whole lines added since the last call (the last `keep` bytes or so).
    std::string TakeNewLines() { return std::exchange(newLines_, std::string()); }
    // The line being written, which a progress line may still replace.
    std::string LastLine() const { return text_.substr(lineStart_); }

private:
    std::string text_;
    std::string newLines_;
    std::size_t lineStart_ = 0;  // where the line being written begins
    bool overwrite_ = false;     // the next character replaces that line
    std::size_t keep_;
};

}  // namespace convert
