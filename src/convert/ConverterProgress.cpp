#include "ConverterProgress.h"

#include <algorithm>
#include <cmath>

namespace convert {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads from `least` to `most` digits at `at`.
bool Digits(std::string_view text, std::size_t& at, std::size_t least, std::size_t most, double& value) {
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && IsDigit(text[at]) && at - start < most) value = value * 10 + (text[at++] - '0');
    return at - start >= least && !(at < text.size() && IsDigit(text[at]));
}

// "HH:MM:SS" with an optional fraction, as the converter writes times; a
// leading minus (the first frames of some clips) reads as zero.
std::optional<double> ClockValue(std::string_view text) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && text[at] == '-') {
        negative = true;
        ++at;
    }
    double hours, minutes, seconds;
    if (!Digits(text, at, 1, 9, hours) || at >= text.size() || text[at++] != ':') return std::nullopt;
    if (!Digits(text, at, 2, 2, minutes) || at >= text.size() || text[at++] != ':') return std::nullopt;
    if (!Digits(text, at, 2, 2, seconds) || minutes >= 60 || seconds >= 60) return std::nullopt;
    if (at < text.size() && text[at] == '.') {
        ++at;
        double scale = 0.1;
        for (; at < text.size() && IsDigit(text[at]); ++at, scale /= 10) seconds += (text[at] - '0') * scale;
    }
    if (at < text.size() && text[at] != ' ' && text[at] != ',') return std::nullopt;
    if (negative) return 0.0;
    return hours * 3600 + minutes * 60 + seconds;
}

constexpr std::string_view kDurationKey = "Duration: ";
constexpr std::string_view kTimeKey = "time=";
// Beyond this an estimate says nothing useful.
constexpr double kLongestEstimate = 1e6;

}  // namespace

void ConverterProgress::Feed(std::string_view chunk) {
    // Progress lines end in a carriage return, the rest in a line feed.
    while (!chunk.empty()) {
        const std::size_t end = chunk.find_first_of("\r\n");
        const std::string_view piece = chunk.substr(0, end);
        if (!skipping_ && partial_.size() + piece.size() > kLongestLine) {
            skipping_ = true;
            partial_.clear();
        }
        if (!skipping_) partial_.append(piece);
        if (end == std::string_view::npos) return;
        if (!skipping_) ReadLine(partial_);
        partial_.clear();
        skipping_ = false;
        chunk.remove_prefix(end + 1);
    }
}

void ConverterProgress::ReadLine(std::string_view line) {
    const std::size_t text = line.find_first_not_of(' ');
    if (text == std::string_view::npos) return;
    line.remove_prefix(text);
    if (line.substr(0, kDurationKey.size()) == kDurationKey) {
        // The first input's length; later lines of this kind are not the input's.
        if (durationSeen_) return;
        durationSeen_ = true;
        const auto value = ClockValue(line.substr(kDurationKey.size()));
        if (value && *value > 0) duration_ = value;
        return;
    }
    for (std::size_t at = line.find(kTimeKey); at != std::string_view::npos;
         at = line.find(kTimeKey, at + 1)) {
        if (at > 0 && line[at - 1] != ' ') continue;  // "out_time=" and the like
        // "time=N/A" leaves the last position as it was.
        if (const auto value = ClockValue(line.substr(at + kTimeKey.size()))) position_ = value;
        return;
    }
}

std::optional<int> ConverterProgress::Percent() const {
    if (!duration_) return std::nullopt;
    const double done = position_ ? *position_ / *duration_ : 0.0;
    return static_cast<int>(std::clamp(done, 0.0, 1.0) * 100);
}

std::optional<std::chrono::seconds> ConverterProgress::TimeLeft(std::chrono::milliseconds elapsed) const {
    if (!duration_ || !position_ || *position_ <= 0 || elapsed.count() <= 0) return std::nullopt;
    const double remaining = std::max(0.0, *duration_ - *position_);
    const double left = elapsed.count() / 1000.0 * remaining / *position_;
    if (left > kLongestEstimate) return std::nullopt;
    return std::chrono::seconds(static_cast<long long>(std::ceil(left)));
}

std::string ClockText(std::chrono::seconds span) {
    const long long total = std::max<long long>(0, span.count());
    const long long hours = total / 3600, minutes = total / 60 % 60, seconds = total % 60;
    auto two = [](long long n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    if (hours > 0) return std::to_string(hours) + ":" + two(minutes) + ":" + two(seconds);
    return std::to_string(minutes) + ":" + two(seconds);
}

}  // namespace convert
