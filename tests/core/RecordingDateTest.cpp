#include <gtest/gtest.h>

#include <optional>

#include "media/MemoryBytes.h"
#include "media/RecordingDate.h"
#include "support/AvchdClip.h"

namespace {

using namespace testing_support;

Bytes Date(std::uint8_t zone, std::uint8_t century, std::uint8_t year, std::uint8_t month) {
    return MdpmEntry(0x18, zone, century, year, month);
}
Bytes Time(std::uint8_t day, std::uint8_t hour, std::uint8_t minute, std::uint8_t second) {
    return MdpmEntry(0x19, day, hour, minute, second);
}
// Another entry a camcorder writes (exposure data), tags in rising order.
const Bytes kOther = MdpmEntry(0x70, 0x12, 0x34, 0x56, 0x78);

struct ReaderCase {
    const char* name;
    Bytes clip;
    std::optional<std::int64_t> utc;
    int offsetMinutes = 0;
};

void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.name; }

Bytes Clip(const std::vector<Bytes>& entries, bool prefix = true, std::size_t fillerBefore = 0) {
    Bytes stream;
    if (fillerBefore) stream = FillerNal(fillerBefore);
    const Bytes sei = SeiNal(MdpmPayload(entries));
    stream.insert(stream.end(), sei.begin(), sei.end());
    const Bytes slice = Nal(0x65, Bytes(300, 0x5a));  // a picture after it
    stream.insert(stream.end(), slice.begin(), slice.end());
    return TransportStream(stream, prefix);
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<ReaderCase> Cases() {
    const Bytes good = Clip({Date(0x12, 0x20, 0x24, 0x05), Time(0x17, 0x14, 0x30, 0x15), kOther});
    Bytes cut = good;
    cut.resize(4 + 4 + 14 + 30);  // inside the SEI, in the first packet
    const Bytes firstBad = TransportStream(
        Concat(SeiNal(MdpmPayload({Date(0x12, 0x20, 0x24, 0x13), Time(0x17, 0x14, 0x30, 0x15)})),
               SeiNal(MdpmPayload({Date(0x00, 0x20, 0x24, 0x02), Time(0x29, 0x10, 0x11, 0x12)}))),
        true);
    // An audio stream first: its PES must not count as video.
    const Bytes audioFirst =
        Concat(TransportStream(SeiNal(MdpmPayload({Date(0x00, 0x20, 0x01, 0x01), Time(0x01, 0x01, 0x01, 0x01)})),
                               false, 0x1100, 0xc0),
               Clip({Date(0x2a, 0x20, 0x11, 0x12), Time(0x31, 0x23, 0x59, 0x59)}, false));
    return {
        {"EastOfUtc", good, 1715923815, 540},
        {"WestOfUtc", Clip({Date(0x2a, 0x20, 0x11, 0x12), Time(0x31, 0x23, 0x59, 0x59)}), 1325393999, -300},
        {"HalfHourEast", Clip({Date(0x0b, 0x20, 0x13, 0x07), Time(0x04, 0x09, 0x15, 0x45)}), 1372909545, 330},
        {"HalfHourWest", Clip({Date(0x27, 0x20, 0x13, 0x07), Time(0x04, 0x09, 0x15, 0x45)}), 1372941945, -210},
        {"DaylightSavingEast", Clip({Date(0x42, 0x20, 0x19, 0x08), Time(0x01, 0x12, 0x00, 0x01)}), 1564653601, 120},
        {"DaylightSavingWest", Clip({Date(0x70, 0x20, 0x19, 0x08), Time(0x01, 0x12, 0x00, 0x01)}), 1564686001, -420},
        // 00:00:00 in UTC needs emulation-prevention bytes in the stream.
        {"EscapedZeros", Clip({Date(0x00, 0x20, 0x00, 0x01), Time(0x01, 0x00, 0x00, 0x00)}), 946684800, 0},
        {"PlainPackets", Clip({Date(0x02, 0x20, 0x16, 0x03), Time(0x27, 0x01, 0x45, 0x30)}, false), 1459039530, 60},
        {"SplitAcrossPackets",
         Clip({Date(0x00, 0x20, 0x24, 0x02), Time(0x29, 0x10, 0x11, 0x12)}, true, 150), 1709201472, 0},
        {"AudioStreamIgnored", audioFirst, 1325393999, -300},
        {"FirstValidDateWins", firstBad, 1709201472, 0},
        {"BadBcdMonth", Clip({Date(0x00, 0x20, 0x24, 0x1a), Time(0x17, 0x14, 0x30, 0x15)}), {}},
        {"BadBcdSecond", Clip({Date(0x00, 0x20, 0x24, 0x05), Time(0x17, 0x14, 0x30, 0x6a)}), {}},
        {"SecondSixty", Clip({Date(0x00, 0x20, 0x24, 0x05), Time(0x17, 0x14, 0x30, 0x60)}), {}},
        {"NoLeapDay", Clip({Date(0x00, 0x20, 0x23, 0x02), Time(0x29, 0x10, 0x11, 0x12)}), {}},
        {"MonthZero", Clip({Date(0x00, 0x20, 0x23, 0x00), Time(0x29, 0x10, 0x11, 0x12)}), {}},
        {"ZoneOutOfRange", Clip({Date(0x1e, 0x20, 0x24, 0x05), Time(0x17, 0x14, 0x30, 0x15)}), {}},
        {"DateWithoutTime", Clip({Date(0x00, 0x20, 0x24, 0x05), kOther}), {}},
        {"CountBeyondPayload",
         TransportStream(SeiNal(Concat(MdpmPayload({Date(0x00, 0x20, 0x24, 0x05)}), {})), true), {}},
        {"CutOffPacket", cut, {}},
        {"NotATransportStream", Bytes(5000, 'x'), {}},
        {"Empty", {}, {}},
    };
}

class RecordingDateReader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(RecordingDateReader, FindsTheFirstValidDateOnly) {
    Bytes clip = GetParam().clip;
    media::MemoryBytes source(clip);
    const auto date = media::ReadRecordingDate(source);
    ASSERT_EQ(date.has_value(), GetParam().utc.has_value());
    if (!date) return;
    EXPECT_EQ(date->utc, *GetParam().utc);
    EXPECT_EQ(date->offsetMinutes, GetParam().offsetMinutes);
}

INSTANTIATE_TEST_SUITE_P(Clips, RecordingDateReader, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordingDate, OnlyTheStartOfTheClipIsSearched) {
    Bytes clip = Clip({Date(0x12, 0x20, 0x24, 0x05), Time(0x17, 0x14, 0x30, 0x15)}, true, 20000);
    media::MemoryBytes source(clip);
    EXPECT_FALSE(media::ReadRecordingDate(source, 10000));
    EXPECT_TRUE(media::ReadRecordingDate(source, clip.size()));
}

TEST(RecordingDate, ComponentsAreTheCamcordersClock) {
    Bytes clip = Clip({Date(0x2a, 0x20, 0x11, 0x12), Time(0x31, 0x23, 0x59, 0x58)});
    media::MemoryBytes source(clip);
    const auto date = media::ReadRecordingDate(source);
    ASSERT_TRUE(date);
    EXPECT_EQ((std::vector<int>{date->year, date->month, date->day, date->hour, date->minute, date->second}),
              (std::vector<int>{2011, 12, 31, 23, 59, 58}));
}

}  // namespace
