// Which files continue the one before them, by their bytes alone.
#include <gtest/gtest.h>

#include "media/MemoryBytes.h"
#include "media/StreamContinuation.h"
#include "support/AvchdClip.h"

namespace {

using testing_support::Bytes;
using testing_support::RecordedPackets;

// A program stream's pack, as a DVD camcorder writes it, with SCR 0.
Bytes Pack() {
    Bytes pack = {0, 0, 1, 0xba, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xc3, 0xf8};
    pack.resize(2048, 0xff);
    return pack;
}

TEST(StreamContinuation, TellsAPieceOfOneRecordingFromAnythingElse) {
    constexpr std::int64_t kSecond = 27'000'000;
    struct Case {
        const char* what;
        Bytes previous, next;
        bool continues;
    };
    Bytes truncated = RecordedPackets(0, 300, true);
    truncated.resize(truncated.size() - 100);
    const Case cases[] = {
        {"cut in 188-byte packets", RecordedPackets(0, 300, false), RecordedPackets(300, 300, false), true},
        {"cut in 192-byte packets", RecordedPackets(0, 300, true), RecordedPackets(300, 300, true), true},
        {"cut mid-PES, clocks only in PTS", RecordedPackets(0, 305, true, 0, false),
         RecordedPackets(305, 300, true, 0, false), true},
        {"a recording of its own", RecordedPackets(0, 300, true), RecordedPackets(0, 300, true), false},
        {"a gap: the piece in between is missing", RecordedPackets(0, 300, true), RecordedPackets(400, 300, true),
         false},
        {"one packet lost at the cut", RecordedPackets(0, 300, true), RecordedPackets(301, 300, true), false},
        {"counters go on, clocks jump", RecordedPackets(0, 300, true), RecordedPackets(300, 300, true, 2 * kSecond),
         false},
        {"clocks go back", RecordedPackets(0, 300, true), RecordedPackets(300, 300, true, -kSecond / 4), false},
        {"packets of another size", RecordedPackets(0, 300, true), RecordedPackets(300, 300, false), false},
        {"a truncated earlier piece", truncated, RecordedPackets(300, 300, true), false},
        {"a program stream after a transport stream", RecordedPackets(0, 300, true), Pack(), false},
        {"no stream at all", Bytes(4096, 0), Bytes(4096, 0), false},
        {"an empty next file", RecordedPackets(0, 300, true), {}, false},
    };
    for (auto c : cases) {
        media::MemoryBytes previous(c.previous), next(c.next);
        EXPECT_EQ(media::ContinuesStream(previous, next), c.continues) << c.what;
    }
}

}  // namespace
