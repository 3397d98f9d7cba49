// Any bytes as a converted file: the patcher must neither crash nor change
// the length, and may change only the time fields it reports.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "media/MemoryBytes.h"
#include "media/Mp4Times.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first 8 bytes pick the time, so that out-of-range times are met too.
    std::int64_t time = 1715923815;
    if (size >= 8) {
        std::memcpy(&time, data, 8);
        data += 8;
        size -= 8;
    }
    const std::vector<std::uint8_t> before(data, data + size);
    std::vector<std::uint8_t> after = before;
    media::MemoryBytes file(after);
    const std::string problem = media::PatchMp4Times(file, file, time);
    if (after.size() != before.size()) std::abort();

    std::vector<std::uint8_t> original = before;
    media::MemoryBytes unpatched(original);
    std::string why;
    const auto fields = media::FindMp4TimeFields(unpatched, why);
    std::vector<bool> mayChange(size, false);
    for (const auto& f : fields) {
        if (f.width != 4 && f.width != 8) std::abort();
        if (f.offset > size || 2 * f.width > size - f.offset) std::abort();
        for (unsigned i = 0; i < 2 * f.width; ++i) mayChange[f.offset + i] = true;
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (after[i] != before[i] && (!problem.empty() || !mayChange[i])) std::abort();
    }
    // Patching again changes nothing more.
    if (problem.empty()) {
        std::vector<std::uint8_t> again = after;
        media::MemoryBytes second(again);
        if (!media::PatchMp4Times(second, second, time).empty() || again != after) std::abort();
    }
    return 0;
}
