// The real converter on clips that carry a camcorder's recording date, and
// on one that does not: the results on the Desktop show that date. And one
// clip of every other kind of camcorder file becomes H.264 and AAC.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "convert/BatchRun.h"
#include "platform/Platform.h"
#include "support/CommandOutput.h"
#include "support/Environment.h"
#include "support/FakeView.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string Output(const std::string& command) {
    std::string out = testing_support::CommandOutput(command);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

class RecordingDateEndToEnd : public ::testing::Test {
protected:
    std::string savedPath;
    void SetUp() override {
        if (const char* path = std::getenv("PATH")) savedPath = path;
        testing_support::SetEnv("PATH", "/usr/local/bin:/usr/bin:/bin");
        testing_support::SetEnv("XDG_DATA_HOME", root / "share");
        if (Output("command -v ffmpeg").empty() || Output("command -v ffprobe").empty())
            GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
        for (const auto& f : {desktop, temp, videos}) fs::create_directories(f);
        folders.desktop = desktop;
        list.sTempFolder = temp;
    }

    // A short H.264 clip in a transport stream; `mdpm`, when given, goes
    // into an SEI of the video as the camcorder's UUID and that payload.
    void MakeClip(const std::string& path, const std::string& mdpm, bool m2ts) {
        std::vector<std::string> args = {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc2=size=160x90:rate=25", "-t", "0.4", "-c:v", "libx264",
                                         "-preset", "ultrafast", "-pix_fmt", "yuv420p"};
        if (!mdpm.empty())
            args.insert(args.end(), {"-bsf:v", "h264_metadata=sei_user_data=17ee8c60-f84d-11d9-8cd6-0800200c9a66+" + mdpm});
        args.insert(args.end(), {"-f", "mpegts"});
        if (m2ts) args.insert(args.end(), {"-mpegts_m2ts_mode", "1"});
        args.push_back(path);
        RunFfmpeg(args);
    }

    void RunFfmpeg(const std::vector<std::string>& args) {
        std::string error;
        auto child = platform.processes->Start("/usr/bin/ffmpeg", args, error);
        ASSERT_TRUE(child) << error;
        while (!child->WaitFor(std::chrono::milliseconds(100))) {
        }
        ASSERT_TRUE(child->Succeeded()) << child->TakeOutput();
    }

    void TearDown() override { testing_support::SetEnv("PATH", savedPath); }

    void Convert() {
        convert::Supervisor supervisor(view);
        convert::BatchRun run(list, view, supervisor,
                              {*platform.files, folders, *platform.processes, false, platform::kNativePaths,
                               platform.access.get()});
        run.Command1_Click();
    }

    std::string Probe(const std::string& entries, const std::string& file) {
        return Output("ffprobe -v error -show_entries " + entries + " -of default=nw=1:nk=1 '" + file + "'");
    }

    // Every creation_time ffprobe sees: the movie's, then each stream's.
    std::string CreationTimes(const std::string& file) {
        return Output("ffprobe -v error -show_entries format_tags=creation_time:stream_tags=creation_time "
                      "-of default=nw=1:nk=1 '" + file + "'");
    }

    testing_support::TempFolder root;
    std::string desktop = root / "Desktop", temp = root / "tmp", videos = root / "Videos";
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    testing_support::FixedFolders folders;
    intake::FileList list;
    testing_support::FakeView view;
};

TEST_F(RecordingDateEndToEnd, ResultsCarryTheRecordingDateOrTheClipsTime) {
    // 2024-05-17 14:30:15 at UTC+9, and 2011-12-31 23:59:59 at UTC-5.
    const std::string east = std::string("MDPM\x02\x18\x12\x20\x24\x05\x19\x17\x14\x30\x15", 15);
    const std::string west = std::string("MDPM\x02\x18\x2a\x20\x11\x12\x19\x31\x23\x59\x59", 15);
    struct Clip {
        std::string name, mdpm;
        bool m2ts;
        platform::UnixSeconds expected;
        std::string shown;
    };
    const Clip clips[] = {
        {"00001.MTS", east, true, 1715923815, "2024-05-17T05:30:15.000000Z"},
        {"plain packets.ts", west, false, 1325393999, "2012-01-01T04:59:59.000000Z"},
        {"no date.MTS", "", true, 1433160000, "2015-06-01T12:00:00.000000Z"},
    };
    for (const auto& c : clips) {
        const std::string path = videos + "/" + c.name;
        MakeClip(path, c.mdpm, c.m2ts);
        // The camcorder's own time of the file; only the undated clip uses it.
        ASSERT_EQ(platform.access->SetModificationTime(path, c.mdpm.empty() ? c.expected : 1000000000), "");
        list.Append(path, path);
    }
    Convert();
    for (const auto& c : clips) {
        SCOPED_TRACE(c.name);
        const std::string result = desktop + "/" + fs::path(c.name).stem().string() + ".mp4";
        EXPECT_EQ(CreationTimes(result), c.shown + "\n" + c.shown);  // the movie and its video track
        EXPECT_EQ(platform.access->ModificationTime(result), c.expected);
        EXPECT_EQ(Output("ffprobe -v error -show_entries stream=codec_name -of default=nw=1:nk=1 '" + result + "'"),
                  "h264");
    }
    EXPECT_EQ(view.Lines().back(), "**Finished**");
    EXPECT_TRUE(fs::is_empty(temp));
}

// The clips are made from tests/support/camcorder-clips.txt, as the
// Windows download's check makes them.
using CamcorderFormatsEndToEnd = RecordingDateEndToEnd;

// ffmpeg's idet on a file: its frames read as progressive, and all of them.
std::pair<int, int> ProgressiveFrames(const std::string& file) {
    std::istringstream out(Output("ffmpeg -nostdin -i '" + file +
                                  "' -vf idet -f null - 2>&1 | "
                                  "sed -n 's/.*Multi frame detection: //p' | tr -dc '0-9 '"));
    int tff = 0, bff = 0, progressive = 0, undetermined = 0;
    out >> tff >> bff >> progressive >> undetermined;
    return {progressive, tff + bff + progressive + undetermined};
}

// The decoded pictures, one hash a frame.
std::string Frames(const std::string& file) {
    return Output("ffmpeg -nostdin -v error -i '" + file + "' -map 0:v -f framemd5 - | grep -v '^#'");
}

std::string VideoPackets(const std::string& file) {
    return Output("ffmpeg -nostdin -v error -i '" + file + "' -map 0:v -c copy -f streamhash -");
}

TEST_F(CamcorderFormatsEndToEnd, EveryKindOfClipBecomesH264AndAacOfItsLength) {
    std::ifstream table(CLIPVANE_CAMCORDER_CLIPS);
    ASSERT_TRUE(table) << CLIPVANE_CAMCORDER_CLIPS;
    std::vector<std::string> names;
    std::map<std::string, std::string> marks;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        std::string name, video, word;
        std::getline(row, name, '|');
        row >> video >> word;  // the size and rate, then the '|'
        name.erase(name.find_last_not_of(' ') + 1);
        std::vector<std::string> args = {"-nostdin", "-loglevel", "error", "-y",
                                         "-f",       "lavfi",     "-i",    "testsrc2=size=" + video,
                                         "-f",       "lavfi",     "-i",    "sine=frequency=440:sample_rate=48000",
                                         "-t",       "1"};
        while (row >> word && word != "|") args.push_back(word);
        std::getline(row >> std::ws, marks[name]);
        args.push_back(videos + "/" + name);
        RunFfmpeg(args);
        list.Append(videos + "/" + name, videos + "/" + name);
        names.push_back(name);
    }
    ASSERT_FALSE(names.empty());
    Convert();
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const std::string result = desktop + "/" + fs::path(name).stem().string() + ".mp4";
        EXPECT_EQ(Probe("stream=codec_name", result), "h264\naac");
        const double length = std::stod(Probe("format=duration", videos + "/" + name));
        EXPECT_NEAR(std::stod(Probe("format=duration", result)), length, 0.1);
        // What an iPhone, iPad or iPod touch plays: H.264 Main or High, 8-bit 4:2:0.
        EXPECT_THAT(Probe("stream=profile,pix_fmt -select_streams v", result),
                    testing::AnyOf("Main\nyuv420p", "High\nyuv420p"));
        // And AAC-LC in stereo at 160 kbit/s (an average over a one-second clip
        // may pass the target by a little), with the standard channel
        // configuration (2) in its AudioSpecificConfig, as they play it.
        EXPECT_EQ(Probe("stream=profile,channels -select_streams a", result), "LC\n2");
        EXPECT_LE(std::stoi(Probe("stream=bit_rate -select_streams a", result)), 161600);
        const std::string config = Output("ffprobe -v error -select_streams a -show_streams -show_data '" + result +
                                          "' | sed -n '/^extradata=/{n;s/^[0-9a-f]*: ..\\(..\\).*/\\1/p}'");
        EXPECT_EQ((std::stoi(config, nullptr, 16) >> 3) & 15, 2) << config;
        if (marks[name] == "interlaced") {
            const auto [progressive, frames] = ProgressiveFrames(result);
            std::printf("%s: idet finds %d of %d frames progressive\n", name.c_str(), progressive, frames);
            EXPECT_GT(frames, 0);
            EXPECT_GE(progressive * 10, frames * 9) << progressive << " of " << frames;
        }
        if (marks[name] == "untouched") {
            const std::string seed = root / "seed.mp4";
            RunFfmpeg({"-nostdin", "-loglevel", "error", "-y", "-i", videos + "/" + name, "-f", "mp4", seed});
            EXPECT_EQ(VideoPackets(result), VideoPackets(seed));
        }
    }
    EXPECT_EQ(view.Lines().back(), "**Finished**");
}

// A recording the camcorder split at its file limit becomes one result, frame
// for frame the recording converted whole; recordings of their own stay apart.
TEST_F(CamcorderFormatsEndToEnd, SplitRecordingsComeOutWholeAndSeparateOnesApart) {
    struct Recording {
        std::string video, args;
        std::size_t unit;
        std::vector<std::string> pieces;
    };
    const std::string avchd =
        "-c:v libx264 -preset ultrafast -g 90 -flags +ildct+ilme -pix_fmt yuv420p -c:a ac3 "
        "-f mpegts -mpegts_m2ts_mode 1";
    const Recording recordings[] = {
        // Interlaced, cut in mid-GOP, and the last piece truncated (a card pulled out).
        {"640x360:rate=60000/1001",
         "-vf tinterlace=interleave_top " + avchd,
         192,
         {"00000.MTS", "00001 it's | odd\n.MTS", "00002.MTS"}},
        {"352x240:rate=30000/1001", "-c:v mpeg2video -c:a ac3 -f vob", 2048, {"VTS_01_1.VOB", "VTS_01_2.VOB"}},
        {"320x240:rate=30000/1001", avchd, 192, {"00010.MTS"}},
        {"320x240:rate=30000/1001", avchd, 192, {"00011.MTS"}},
    };
    for (const auto& r : recordings) {
        const std::string whole = root / ("whole " + r.pieces[0]);
        std::vector<std::string> args = {
            "-nostdin", "-loglevel", "error", "-y",   "-f", "lavfi", "-i", "testsrc2=size=" + r.video,
            "-f",       "lavfi",     "-i",    "sine", "-t", "3"};
        std::istringstream words(r.args);
        for (std::string word; words >> word;) args.push_back(word);
        args.push_back(whole);
        RunFfmpeg(args);
        std::string bytes = testing_support::ReadFile(whole);
        if (r.pieces.size() > 2) bytes.resize(bytes.size() - 100);
        testing_support::WriteFile(whole, bytes);
        for (std::size_t k = 0, at = 0; k < r.pieces.size(); ++k) {
            const std::size_t end =
                k + 1 == r.pieces.size() ? bytes.size() : bytes.size() * (k + 1) / r.pieces.size() / r.unit * r.unit;
            testing_support::WriteFile(videos + "/" + r.pieces[k], bytes.substr(at, end - at));
            list.Append(videos + "/" + r.pieces[k], videos + "/" + r.pieces[k]);
            at = end;
        }
        args = convert::BatchRun::ConverterArguments(whole, whole + ".mp4");
        args.insert(args.begin(), {"-nostdin", "-loglevel", "error"});
        RunFfmpeg(args);
    }
    Convert();
    EXPECT_EQ(Output("ls '" + desktop + "'"), "00000.mp4\n00010.mp4\n00011.mp4\nVTS_01_1.mp4");
    for (const auto& r : recordings) {
        SCOPED_TRACE(r.pieces[0]);
        const std::string result = desktop + "/" + fs::path(r.pieces[0]).stem().string() + ".mp4";
        const std::string frames = Frames(result);
        EXPECT_TRUE(!frames.empty() && frames == Frames(root / ("whole " + r.pieces[0]) + ".mp4")) << "not the whole's";
    }
    for (const char* line : {"00001 it's | odd\n.MTS... (joined to No. 1) SUCCESS",
                             "00002.MTS... (joined to No. 1) SUCCESS", "VTS_01_2.VOB... (joined to No. 4) SUCCESS"})
        EXPECT_NE(view.text.find(line), std::string::npos) << view.text;
    EXPECT_EQ(view.text.find("FAIL"), std::string::npos) << view.text;
    EXPECT_TRUE(fs::is_empty(temp));
}

}  // namespace
