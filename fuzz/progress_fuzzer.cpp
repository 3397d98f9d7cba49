// Feeds arbitrary converter output to the progress reader, split into chunks
// at points taken from the input, and checks what every front-end relies on.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "convert/ConverterProgress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the chunk lengths; the rest is the output.
    const unsigned seed = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    convert::ConverterProgress whole;
    whole.Feed(text);

    convert::ConverterProgress chunked;
    unsigned step = seed;
    for (std::size_t at = 0; at < text.size();) {
        step = step * 1103515245u + 12345u;
        const std::size_t length = 1 + (step >> 16) % 64;
        chunked.Feed(text.substr(at, length));
        at += length;
    }

    if (whole.Duration() != chunked.Duration() || whole.Position() != chunked.Position()) abort();
    if (whole.Duration() && !(*whole.Duration() > 0)) abort();
    if (const auto percent = whole.Percent(); percent && (*percent < 0 || *percent > 100)) abort();
    if (whole.Percent().has_value() != whole.Duration().has_value()) abort();
    for (long long ms : {1LL, 999LL, 60000LL, 86400000LL}) {
        const auto left = whole.TimeLeft(std::chrono::milliseconds(ms));
        if (left && left->count() < 0) abort();
        if (left && convert::ClockText(*left).empty()) abort();
    }
    return 0;
}
