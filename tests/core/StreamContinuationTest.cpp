// Which files continue the one before them, by their bytes alone.
#include <gtest/gtest.h>

#include "media/MemoryBytes.h"
#include "media/StreamContinuation.h"
#include "support/AvchdClip.h"

namespace {

using testing_support::Bytes;
using testing_support::RecordedPackets;

TEST(StreamContinuation, TellsAPieceOfOneRecordingFromAnythingElse) {
    constexpr std::int64_t kSecond = 27'000'000;
    const auto ts = [](int first, bool m2ts = true, std::int64_t shift = 0, bool clock = true) {
        return RecordedPackets(first, 300, m2ts, shift, clock);
    };
    Bytes truncated = ts(0), pack = {0, 0, 1, 0xba, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xc3, 0xf8};
    truncated.resize(truncated.size() - 100);
    pack.resize(2048, 0xff);  // a DVD camcorder's pack
    const struct {
        const char* what;
        Bytes previous, next;
        bool continues;
    } cases[] = {
        {"cut in 188-byte packets", ts(0, false), ts(300, false), true},
        {"cut in 192-byte packets", ts(0), ts(300), true},
        {"cut mid-PES, clocks only in PTS", RecordedPackets(0, 305, true, 0, false), ts(305, true, 0, false), true},
        {"a recording of its own", ts(0), ts(0), false},
        {"a gap: the piece in between is missing", ts(0), ts(400), false},
        {"one packet lost at the cut", ts(0), ts(301), false},
        {"counters go on, clocks jump", ts(0), ts(300, true, 2 * kSecond), false},
        {"clocks go back", ts(0), ts(300, true, -kSecond / 4), false},
        {"packets of another size", ts(0), ts(300, false), false},
        {"a truncated earlier piece", truncated, ts(300), false},
        {"a program stream after a transport stream", ts(0), pack, false},
        {"no stream at all", Bytes(4096, 0), Bytes(4096, 0), false},
        {"an empty next file", ts(0), {}, false},
    };
    for (auto c : cases) {
        media::MemoryBytes previous(c.previous), next(c.next);
        EXPECT_EQ(media::ContinuesStream(previous, next), c.continues) << c.what;
    }
}

}  // namespace
