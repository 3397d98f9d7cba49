// The real converter on clips made here like a camcorder's: H.264 with AC-3
// sound in an MPEG transport stream with 192-byte packets.
#include <QTest>
#include <cstdio>

#include "MainWindowFixture.h"
#include "support/CommandOutput.h"

namespace gui_test {
namespace {

std::string Shell(const std::string& command) { return testing_support::CommandOutput(command); }

std::string Quote(const std::string& s) { return "'" + s + "'"; }

bool MakeClip(const std::string& path, const std::string& size, double seconds, bool interlaced) {
    const std::string video = interlaced ? "-flags +ildct+ilme -x264opts tff=1 " : "";
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=" + size + ":rate=25 "
        "-f lavfi -i sine=frequency=440:sample_rate=48000 -t " + std::to_string(seconds) +
        " -c:v libx264 -preset ultrafast -pix_fmt yuv420p " + video +
        "-c:a ac3 -b:a 192k -f mpegts -mpegts_m2ts_mode 1 " + Quote(path) + " 2>&1";
    const std::string out = Shell(command);
    if (!out.empty()) std::fprintf(stderr, "%s\n", out.c_str());
    return std::filesystem::exists(path);
}

std::string Probe(const std::string& path, const std::string& entries, const std::string& stream = "") {
    std::string out = Shell("ffprobe -v error " + (stream.empty() ? "" : "-select_streams " + stream + " ") +
                          "-show_entries " + entries + " -of default=noprint_wrappers=1:nokey=1 " +
                          Quote(path));
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

TEST_F(MainWindowTest, RealClipsBecomePlayableMp4sOnTheDesktop) {
    setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
    if (Shell("command -v ffmpeg").empty()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string interlaced = videos + "/00000.MTS";
    const std::string tiny = videos + "/Tiny clip.M2TS";
    ASSERT_TRUE(MakeClip(interlaced, "1920x1080", 1.0, true));
    ASSERT_TRUE(MakeClip(tiny, "160x90", 0.4, false));
    ASSERT_EQ(std::filesystem::file_size(interlaced) % 192, 0u);

    Load({interlaced, "\"" + tiny + "\""});
    form->ShowCentred();
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    ASSERT_EQ(Lines().at(3), "No. 1: " + QString::fromStdString(interlaced) + "... SUCCESS");
    ASSERT_EQ(Lines().at(4), "No. 2: " + QString::fromStdString(tiny) + "... SUCCESS");

    struct Expect {
        std::string file;
        double seconds;
    };
    for (const auto& e : {Expect{desktop + "/00000.mp4", 1.0}, Expect{desktop + "/Tiny clip.mp4", 0.4}}) {
        SCOPED_TRACE(e.file);
        EXPECT_NE(Probe(e.file, "format=format_name").find("mp4"), std::string::npos);
        EXPECT_EQ(Probe(e.file, "stream=codec_name", "v:0"), "h264");
        EXPECT_EQ(Probe(e.file, "stream=codec_name", "a:0"), "aac");
        EXPECT_NEAR(std::stod(Probe(e.file, "format=duration")), e.seconds, 0.15);
    }
}

}  // namespace
}  // namespace gui_test
