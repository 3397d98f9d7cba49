#include <gtest/gtest.h>

#include <string>

#include "media/MemoryBytes.h"
#include "media/Mp4Times.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, std::uint64_t v, unsigned n) {
    for (unsigned i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * (n - 1 - i))));
}

Bytes Box(const char* type, const Bytes& body, bool wide = false) {
    Bytes b;
    Put(b, wide ? 1 : 8 + body.size(), 4);
    b.insert(b.end(), type, type + 4);
    if (wide) Put(b, 16 + body.size(), 8);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A full box with its version, times 0, and `rest` bytes of other fields.
Bytes TimedBox(const char* type, int version, std::size_t rest = 20) {
    Bytes body = {static_cast<std::uint8_t>(version), 0, 0, 0};
    body.insert(body.end(), version == 1 ? 16 : 8, 0);
    body.insert(body.end(), rest, 0xab);
    return Box(type, body);
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Track(int version) {
    return Box("trak", Join({TimedBox("tkhd", version, 60),
                             Box("mdia", Join({TimedBox("mdhd", version, 8), Box("hdlr", Bytes(24, 1))}))}));
}

Bytes Movie(int version, bool wideMdat = false, bool movieFirst = false) {
    const Bytes ftyp = Box("ftyp", {'i', 's', 'o', 'm', 0, 0, 2, 0});
    const Bytes mdat = Box("mdat", Bytes(1000, 0x77), wideMdat);
    const Bytes moov = Box("moov", Join({TimedBox("mvhd", version, 80), Track(version), Track(version)}));
    return movieFirst ? Join({ftyp, moov, mdat}) : Join({ftyp, mdat, moov});
}

// 2024-05-17 05:30:15 UTC.
constexpr platform::UnixSeconds kTime = 1715923815;
constexpr std::uint64_t kMp4Time = 1715923815ull + 2082844800ull;

struct PatchCase {
    const char* name;
    Bytes file;
    std::size_t fields;  // expected boxes dated; 0: the file stays as it was
};

void PrintTo(const PatchCase& c, std::ostream* os) { *os << c.name; }

std::vector<PatchCase> Cases() {
    Bytes noMovie = Join({Box("ftyp", Bytes(8, 0)), Box("mdat", Bytes(100, 0))});
    Bytes tooLong = Movie(0);
    tooLong[tooLong.size() - Movie(0).size() + 8 + 16 + 1008 + 3] = 0xff;  // moov's size beyond the end
    Bytes childTooLong = Movie(0, false, true);
    childTooLong[24 + 2] = 0xf0;  // mvhd's size beyond moov
    Bytes version2 = Movie(0, false, true);
    version2[24 + 8] = 2;  // mvhd of an unknown version
    Bytes shortHeader = Join({Box("ftyp", Bytes(8, 0)), Box("moov", Box("mvhd", {0, 0, 0, 0, 1, 2, 3}))});
    Bytes endless = Join({Box("ftyp", Bytes(8, 0)), Box("moov", TimedBox("mvhd", 0))});
    endless[16 + 3] = 0;  // size 0: moov runs to the end of the file
    Bytes cut = Movie(0);
    cut.resize(cut.size() - 10);
    return {
        {"VersionZero", Movie(0), 5},
        {"VersionOne", Movie(1), 5},
        {"MovieBeforeData", Movie(0, false, true), 5},
        {"WideDataBox", Movie(1, true), 5},
        {"BoxToTheEnd", endless, 1},
        {"NoMovie", noMovie, 0},
        {"MovieLongerThanFile", tooLong, 0},
        {"ChildLongerThanMovie", childTooLong, 0},
        {"UnknownVersion", version2, 0},
        {"HeaderTooShort", shortHeader, 0},
        {"CutOffFile", cut, 0},
        {"Empty", {}, 0},
        {"Garbage", Bytes(300, 0xff), 0},
    };
}

class Mp4TimePatcher : public ::testing::TestWithParam<PatchCase> {};

TEST_P(Mp4TimePatcher, ChangesOnlyTheTimeFields) {
    const Bytes before = GetParam().file;
    Bytes after = before;
    media::MemoryBytes file(after);
    const std::string problem = media::PatchMp4Times(file, file, kTime);
    ASSERT_EQ(after.size(), before.size());
    if (GetParam().fields == 0) {
        EXPECT_FALSE(problem.empty());
        EXPECT_EQ(after, before);
        return;
    }
    EXPECT_EQ(problem, "");
    std::string ignored;
    media::MemoryBytes reread(after);
    const auto fields = media::FindMp4TimeFields(reread, ignored);
    ASSERT_EQ(fields.size(), GetParam().fields);
    Bytes expected = before;
    for (const auto& f : fields) {
        for (unsigned i = 0; i < 2 * f.width; ++i)
            expected[f.offset + i] = static_cast<std::uint8_t>(kMp4Time >> (8 * (f.width - 1 - i % f.width)));
    }
    EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(Files, Mp4TimePatcher, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mp4Times, ATimeThatAVersionZeroBoxCannotHoldChangesNothing) {
    const Bytes before = Movie(0);
    Bytes after = before;
    media::MemoryBytes file(after);
    // 2041: past what 32 bits from 1904 can count.
    EXPECT_NE(media::PatchMp4Times(file, file, 2240524800), "");
    EXPECT_EQ(after, before);
    Bytes wide = Movie(1);
    media::MemoryBytes wideFile(wide);
    EXPECT_EQ(media::PatchMp4Times(wideFile, wideFile, 2240524800), "");
}

}  // namespace
