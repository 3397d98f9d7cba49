#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace convert {

// Reads how far the converter has got from its own console output, as it
// arrives: the input's length from its "Duration:" line and the position
// from each progress line's "time=". Chunks may split lines anywhere.
class ConverterProgress {
public:
    void Feed(std::string_view chunk);

    // The input's length in seconds; none for "N/A" or before it is read.
    std::optional<double> Duration() const { return duration_; }
    // The last position reported, in seconds; none before the first one.
    std::optional<double> Position() const { return position_; }
    // 0 to 100; none while the length is unknown.
    std::optional<int> Percent() const;
    // The time still needed at the rate so far, given the time spent since
    // the converter started; none until the rate can be told.
    std::optional<std::chrono::seconds> TimeLeft(std::chrono::milliseconds elapsed) const;

    // One whole line of the output, without its end.
    void ReadLine(std::string_view line);

    // Longer lines than this are not progress lines and are skipped whole.
    static constexpr std::size_t kLongestLine = 4096;

private:
    std::string partial_;
    bool skipping_ = false;  // inside a line longer than kLongestLine
    bool durationSeen_ = false;
    std::optional<double> duration_;
    std::optional<double> position_;
};

// A span as a clock reads: "0:07", "12:34", "1:02:03".
std::string ClockText(std::chrono::seconds span);

}  // namespace convert
