#include <gtest/gtest.h>

#include <vector>

#include "convert/ConverterOutput.h"
#include "convert/ConverterProgress.h"
#include "convert/RunProgress.h"

namespace {

using convert::ClockText;
using convert::ConverterProgress;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Recorded from ffmpeg 5.1 converting a 20-second MPEG-TS clip that starts at
// 11.4 s (-output_ts_offset 10), banners and encoder chatter trimmed.
const std::string kRecorded =
    "Input #0, mpegts, from 'long.mts':\n"
    "  Duration: 00:00:20.00, start: 11.400000, bitrate: 388 kb/s\n"
    "  Program 1 \n"
    "  Stream #0:0[0x100]: Video: mpeg2video (Main), yuv420p(tv, progressive), 640x480, 25 fps\n"
    "Output #0, mp4, to 'long.mp4':\n"
    "  Metadata:\n"
    "    encoder         : Lavf59.27.100\n"
    "frame=    1 fps=0.0 q=0.0 size=       0kB time=00:00:00.00 bitrate=N/A speed=   0x    \r"
    "frame=   92 fps=0.0 q=28.0 size=       0kB time=00:00:01.68 bitrate=   0.2kbits/s speed=3.25x    \r"
    "frame=  206 fps=201 q=28.0 size=       0kB time=00:00:06.24 bitrate=   0.1kbits/s speed=6.09x    \r"
    "frame=  302 fps=197 q=28.0 size=       0kB time=00:00:10.08 bitrate=   0.0kbits/s speed=6.58x    \r"
    "frame=  411 fps=202 q=28.0 size=       0kB time=00:00:14.44 bitrate=   0.0kbits/s speed=7.11x    \r"
    "frame=  500 fps=195 q=-1.0 Lsize=     346kB time=00:00:19.88 bitrate= 142.5kbits/s speed=7.76x    \n"
    "video:335kB audio:0kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 3.2%\n";

// Recorded from ffmpeg reading a clip from a pipe: no length to be had.
const std::string kRecordedFromPipe =
    "Input #0, mpegts, from 'pipe:':\n"
    "  Duration: N/A, start: 1.440000, bitrate: N/A\n"
    "frame=    1 fps=0.0 q=0.0 size=       0kB time=00:00:00.00 bitrate=N/A speed=   0x    \r"
    "frame=   50 fps=0.0 q=-1.0 Lsize=      15kB time=00:00:01.88 bitrate=  67.1kbits/s speed=10.8x    \n";

ConverterProgress Read(const std::string& text) {
    ConverterProgress progress;
    progress.Feed(text);
    return progress;
}

TEST(ConverterProgressTest, TheRecordedRunRisesToItsEndWhateverTheStartOffset) {
    ConverterProgress progress;
    std::vector<int> seen;
    // Fed as it arrives: one progress line per chunk.
    std::size_t from = 0;
    for (std::size_t at; (at = kRecorded.find_first_of("\r\n", from)) != std::string::npos; from = at + 1) {
        progress.Feed(std::string_view(kRecorded).substr(from, at + 1 - from));
        if (progress.Position() && (seen.empty() || *progress.Percent() != seen.back()))
            seen.push_back(*progress.Percent());
    }
    EXPECT_EQ(progress.Duration(), 20.0);
    EXPECT_DOUBLE_EQ(*progress.Position(), 19.88);
    EXPECT_EQ(seen, (std::vector<int>{0, 8, 31, 50, 72, 99}));
}

TEST(ConverterProgressTest, ManyLinesInOneChunkOrALineSplitAnywhereReadTheSame) {
    const ConverterProgress whole = Read(kRecorded);
    for (std::size_t split = 0; split <= kRecorded.size(); ++split) {
        ConverterProgress progress;
        progress.Feed(std::string_view(kRecorded).substr(0, split));
        progress.Feed(std::string_view(kRecorded).substr(split));
        ASSERT_EQ(progress.Duration(), whole.Duration()) << "split at " << split;
        ASSERT_EQ(progress.Position(), whole.Position()) << "split at " << split;
    }
    ConverterProgress byteByByte;
    for (char c : kRecorded) byteByByte.Feed(std::string_view(&c, 1));
    EXPECT_EQ(byteByByte.Position(), whole.Position());
    // Half a progress line tells nothing yet.
    ConverterProgress half;
    half.Feed("  Duration: 00:01:40.00, start: 0.0\nframe=  1 time=00:00:5");
    EXPECT_FALSE(half.Position());
    half.Feed("0.00 bitrate=N/A\r");
    EXPECT_EQ(half.Percent(), 50);
}

TEST(ConverterProgressTest, NoLengthMeansNoPercentAndNoTimeLeft) {
    const ConverterProgress progress = Read(kRecordedFromPipe);
    EXPECT_FALSE(progress.Duration());
    EXPECT_FALSE(progress.Percent());
    EXPECT_DOUBLE_EQ(*progress.Position(), 1.88);
    EXPECT_FALSE(progress.TimeLeft(milliseconds(5000)));
}

TEST(ConverterProgressTest, LinesThatAreNotWhatTheyLookLike) {
    struct Case {
        const char* text;
        std::optional<double> duration, position;
    };
    const Case cases[] = {
        {"  Duration: 00:01:00.00, start: 0\rframe= 1 time=N/A bitrate=N/A\r", 60.0, std::nullopt},
        {"  Duration: 00:01:00.00\rtime=00:00:30.00 x\rtime=N/A\r", 60.0, 30.0},  // N/A keeps the last
        {"frame= 1 time=-00:00:00.04 bitrate=N/A\r", std::nullopt, 0.0},
        {"out_time=00:00:09.00\r", std::nullopt, std::nullopt},
        {"  Duration: 00:00:10.00\n  Duration: 01:00:00.00\n", 10.0, std::nullopt},  // the first input's
        {"  Duration: 00:00:00.00, start: 0\n", std::nullopt, std::nullopt},
        {"  Duration: 00:99:00.00\ntime=1:2:3\r", std::nullopt, std::nullopt},
        {"  Duration: 12:00:00.5, start\r\ntime=02:00:00 \r", 43200.5, 7200.0},
        {"size=1kB time=00:00:01.00:junk\r", std::nullopt, std::nullopt},
        {"time=00:00:02.50", std::nullopt, std::nullopt},  // unfinished line
    };
    for (const auto& c : cases) {
        const ConverterProgress progress = Read(c.text);
        EXPECT_EQ(progress.Duration(), c.duration) << c.text;
        EXPECT_EQ(progress.Position(), c.position) << c.text;
    }
}

TEST(ConverterProgressTest, AnOverlongLineIsSkippedWholeHoweverItArrives) {
    const std::string junk(ConverterProgress::kLongestLine + 10, 'x');
    const std::string text = "  Duration: 00:00:10.00\n" + junk + " time=00:00:09.00\rtime=00:00:02.00 \r";
    ConverterProgress progress = Read(text);
    EXPECT_EQ(progress.Position(), 2.0);
    ConverterProgress pieces;
    for (std::size_t at = 0; at < text.size(); at += 1000) pieces.Feed(std::string_view(text).substr(at, 1000));
    EXPECT_EQ(pieces.Position(), 2.0);
}

TEST(ConverterProgressTest, TimeLeftFollowsTheRateSoFar) {
    struct Case {
        const char* text;
        milliseconds elapsed;
        std::optional<seconds> left;
    };
    const Case cases[] = {
        {"  Duration: 00:01:40.00\ntime=00:00:25.00 \r", milliseconds(10000), seconds(30)},
        {"  Duration: 00:01:40.00\ntime=00:00:50.00 \r", milliseconds(1500), seconds(2)},  // 1.5 s, up
        {"  Duration: 00:01:40.00\ntime=00:01:45.00 \r", milliseconds(9000), seconds(0)},
        {"  Duration: 00:01:40.00\ntime=00:00:00.00 \r", milliseconds(9000), std::nullopt},
        {"  Duration: 00:01:40.00\n", milliseconds(9000), std::nullopt},
        {"  Duration: 00:01:40.00\ntime=00:00:25.00 \r", milliseconds(0), std::nullopt},
        {"  Duration: 999999:00:00.00\ntime=00:00:00.01 \r", milliseconds(1000), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.text).TimeLeft(c.elapsed), c.left) << c.text;
    EXPECT_EQ(Read(kRecorded).Percent(), 99);
}

TEST(ConverterProgressTest, ClockText) {
    const std::pair<long long, const char*> cases[] = {
        {0, "0:00"}, {7, "0:07"}, {754, "12:34"}, {3723, "1:02:03"}, {360000, "100:00:00"}, {-5, "0:00"}};
    for (const auto& [span, text] : cases) EXPECT_EQ(ClockText(seconds(span)), text);
}

TEST(RunProgressTest, FileIOfNAtPPercentIsThatShareOfTheRun) {
    // One event after another, with the run's share after each.
    struct Step {
        const char* event;
        int number, count, percent;
        double fraction;
        bool failed;
    } steps[] = {
        {"start", 1, 4, 0, 0.0, false},  {"percent", 1, 4, 50, 0.125, false}, {"unknown", 1, 4, -1, 0.125, false},
        {"fail", 1, 4, 0, 0.25, true},   {"start", 2, 4, 0, 0.25, true},      {"percent", 2, 4, 100, 0.5, true},
        {"succeed", 2, 4, 0, 0.5, true}, {"start", 4, 4, 0, 0.75, true},      {"succeed", 4, 4, 0, 1.0, true},
    };
    convert::RunProgress run;
    EXPECT_EQ(run.Fraction(), 0.0);
    for (const Step& s : steps) {
        const std::string event = s.event;
        if (event == "start") run.FileStarted(s.number, s.count);
        if (event == "percent") run.FilePercent(s.number, s.percent);
        if (event == "unknown") run.FilePercent(s.number, std::nullopt);
        if (event == "fail" || event == "succeed") run.FileFinished(s.number, s.count, event == "succeed");
        EXPECT_DOUBLE_EQ(run.Fraction(), s.fraction) << event << " " << s.number;
        EXPECT_EQ(run.Failed(), s.failed) << event << " " << s.number;
    }
}

// The one copy of the output gives the progress, the console's lines and the tail.
TEST(ConverterOutputTest, AProgressLineIsReplacedByTheNextAndOldLinesGo) {
    convert::ConverterOutput console(64);
    console.Add("Duration: 00:00:10.00\nframe= 1 time=00:00:01.00\r");
    console.Add("frame= 2 time=00:00:0");
    console.Add("2.00\rframe= 3 time=00:00:03.00\r\nvideo:335kB\n");
    EXPECT_EQ(console.Tail(), "Duration: 00:00:10.00\nframe= 3 time=00:00:03.00\nvideo:335kB\n");
    EXPECT_EQ(console.TakeNewLines(), console.Tail());
    EXPECT_EQ(console.Progress().Percent(), 30);
    for (int i = 0; i < 20; ++i) console.Add("line " + std::to_string(i) + "\n");
    EXPECT_LE(console.Tail().size(), 64u);
    EXPECT_EQ(console.Tail().substr(console.Tail().size() - 8), "line 19\n");
    EXPECT_EQ(console.Tail().find("Duration"), std::string::npos);
}

}  // namespace
