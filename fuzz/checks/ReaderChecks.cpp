#include "ReaderChecks.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

#include "convert/ConverterProgress.h"
#include "media/MemoryBytes.h"
#include "media/Mp4Times.h"
#include "media/RecordingDate.h"
#include "media/StreamContinuation.h"

namespace fuzzcheck {

namespace {

std::vector<std::uint8_t> ToBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()),
            reinterpret_cast<const std::uint8_t*>(text.data()) + text.size()};
}

// The clip's bytes, watching how far the reader asks and what it is given.
class Watched : public platform::ByteSource {
public:
    explicit Watched(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)), inner_(bytes_) {}
    std::uint64_t Size() override { return inner_.Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override {
        if (offset + size > furthest) furthest = offset + size;
        if (offset >= 1024) nearestPastStart = std::min(nearestPastStart, offset);
        const std::size_t n = inner_.ReadAt(offset, data, size);
        if (n > size || (n > 0 && offset + n > bytes_.size())) overRead = true;
        return n;
    }
    std::uint64_t furthest = 0, nearestPastStart = UINT64_MAX;
    bool overRead = false;

private:
    std::vector<std::uint8_t> bytes_;
    media::MemoryBytes inner_;
};

}  // namespace

std::string CheckRecordingDate(std::string_view input) {
    // A small bound as well as one past the input, so both ends are met.
    for (const std::uint64_t limit : {std::uint64_t{4096}, std::uint64_t{input.size()} + 1}) {
        Watched clip(ToBytes(input));
        const auto date = media::ReadRecordingDate(clip, limit);
        if (clip.overRead) return "a read returned bytes past the clip";
        if (clip.furthest > limit) return "read past the bound of " + std::to_string(limit);
        if (!date) continue;
        if (date->month < 1 || date->month > 12 || date->day < 1 || date->day > 31 || date->hour > 23 ||
            date->minute > 59 || date->second > 59 || date->year < 1904)
            return "a date that does not exist";
        if (date->offsetMinutes < -15 * 60 || date->offsetMinutes > 16 * 60) return "a zone offset out of range";
        const std::int64_t local = media::DaysFromCivil(date->year, date->month, date->day) * 86400 +
                                   date->hour * 3600 + date->minute * 60 + date->second;
        if (local - date->utc != std::int64_t{date->offsetMinutes} * 60)
            return "the UTC time does not match the local time and offset";
    }
    return "";
}

std::string CheckMp4Times(std::string_view input) {
    // The first 8 bytes pick the time, so that out-of-range times are met too.
    std::int64_t time = 1715923815;
    if (input.size() >= 8) {
        std::memcpy(&time, input.data(), 8);
        input.remove_prefix(8);
    }
    const std::vector<std::uint8_t> before = ToBytes(input);
    const std::size_t size = before.size();
    std::vector<std::uint8_t> after = before;
    media::MemoryBytes file(after);
    const std::string problem = media::PatchMp4Times(file, file, time);
    if (after.size() != size) return "the patched file changed length";

    std::vector<std::uint8_t> original = before;
    media::MemoryBytes unpatched(original);
    std::string why;
    std::vector<bool> mayChange(size, false);
    for (const auto& f : media::FindMp4TimeFields(unpatched, why)) {
        if (f.width != 4 && f.width != 8) return "a time field of width " + std::to_string(f.width);
        if (f.offset > size || 2 * f.width > size - f.offset) return "a time field past the end";
        for (unsigned i = 0; i < 2 * f.width; ++i) mayChange[f.offset + i] = true;
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (after[i] == before[i]) continue;
        if (!problem.empty()) return "a byte changed although the patch failed: " + problem;
        if (!mayChange[i]) return "byte " + std::to_string(i) + " changed outside the time fields";
    }
    if (problem.empty()) {
        std::vector<std::uint8_t> again = after;
        media::MemoryBytes second(again);
        if (!media::PatchMp4Times(second, second, time).empty() || again != after)
            return "patching a second time changed the file again";
    }
    return "";
}

std::string CheckProgress(std::string_view input) {
    if (input.empty()) return "";
    const unsigned seed = static_cast<std::uint8_t>(input[0]);
    const std::string_view text = input.substr(1);

    convert::ConverterProgress whole;
    whole.Feed(text);
    // The output arrives in pieces of any length; the reading must not depend on them.
    convert::ConverterProgress chunked;
    unsigned step = seed;
    for (std::size_t at = 0; at < text.size();) {
        step = step * 1103515245u + 12345u;
        const std::size_t length = 1 + (step >> 16) % 64;
        chunked.Feed(text.substr(at, length));
        at += length;
    }

    if (whole.Duration() != chunked.Duration() || whole.Position() != chunked.Position())
        return "the output read in pieces reads differently";
    if (whole.Duration() && !(*whole.Duration() > 0)) return "a duration that is not positive";
    if (const auto percent = whole.Percent(); percent && (*percent < 0 || *percent > 100))
        return "a percentage outside 0 to 100";
    if (whole.Percent().has_value() != whole.Duration().has_value()) return "a percentage without a duration";
    for (long long ms : {1LL, 999LL, 60000LL, 86400000LL}) {
        const auto left = whole.TimeLeft(std::chrono::milliseconds(ms));
        if (left && left->count() < 0) return "a negative time left";
        if (left && convert::ClockText(*left).empty()) return "a time left with no text";
    }
    return "";
}

std::string CheckStreamContinuation(std::string_view input) {
    if (input.empty()) return "";
    const std::size_t cut = (input.size() - 1) * static_cast<std::uint8_t>(input[0]) / 255;
    const std::string_view bytes = input.substr(1);
    Watched previous(ToBytes(bytes.substr(0, cut))), next(ToBytes(bytes.substr(cut)));
    media::ContinuesStream(previous, next);
    if (previous.overRead || next.overRead) return "a read returned bytes past the file";
    // Its start and its end, never the middle of a large file.
    if (previous.nearestPastStart != UINT64_MAX && previous.nearestPastStart + media::kLongestLook < previous.Size())
        return "read the earlier file's middle";
    if (next.furthest > media::kLongestLook) return "read past the bound of the next file's start";
    return "";
}

const std::vector<NamedCheck>& ReaderChecks() {
    static const std::vector<NamedCheck> checks = {
        {"recording_date", CheckRecordingDate},
        {"mp4_times", CheckMp4Times},
        {"progress", CheckProgress},
        {"stream_continuation", CheckStreamContinuation},
    };
    return checks;
}

}  // namespace fuzzcheck
