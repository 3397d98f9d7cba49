// Any bytes as the start of a clip: the date reader must neither crash nor
// ask for more than its bound, and a date it finds must be a real one.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/MemoryBytes.h"
#include "media/RecordingDate.h"

namespace {

// The clip's bytes, watching how far the reader asks.
class Watched : public platform::ByteSource {
public:
    Watched(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size), inner_(bytes_) {}
    std::uint64_t Size() override { return inner_.Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override {
        if (offset + size > furthest) furthest = offset + size;
        const std::size_t n = inner_.ReadAt(offset, data, size);
        if (n > size || (n > 0 && offset + n > bytes_.size())) std::abort();
        return n;
    }
    std::uint64_t furthest = 0;

private:
    std::vector<std::uint8_t> bytes_;
    media::MemoryBytes inner_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A small bound as well as one past the input, so both ends are met.
    for (const std::uint64_t limit : {std::uint64_t{4096}, std::uint64_t{size} + 1}) {
        Watched clip(data, size);
        const auto date = media::ReadRecordingDate(clip, limit);
        if (clip.furthest > limit) std::abort();
        if (!date) continue;
        if (date->month < 1 || date->month > 12 || date->day < 1 || date->day > 31 ||
            date->hour > 23 || date->minute > 59 || date->second > 59 || date->year < 1904 ||
            date->offsetMinutes < -15 * 60 || date->offsetMinutes > 16 * 60)
            std::abort();
        const std::int64_t local = media::DaysFromCivil(date->year, date->month, date->day) * 86400 +
                                   date->hour * 3600 + date->minute * 60 + date->second;
        if (local - date->utc != std::int64_t{date->offsetMinutes} * 60) std::abort();
    }
    return 0;
}
