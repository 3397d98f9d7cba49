// The conversion run from START to FINISH against a bare loop of the same
// converter, with the same arguments, over the same clips, one after another:
// what converting several clips at once gains (goal on 2 cores: at most 0.90
// times the loop for AVCHD, 0.85 for DV), and how soon the run notices that a
// converter has ended.
//
//   batch_bench [clips] [seconds] [rounds] [converters]
//       (default 8 clips of 3 s, 2 rounds, as many converters as the program
//       runs on this machine)
//
// The clips are 1080/60i camcorder-like clips, H.264 and AC-3 in M2TS, and
// NTSC DV with PCM sound. The two ways alternate, round by round, and each
// reports its median.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "convert/BatchRun.h"
#include "platform/Platform.h"
#include "support/FakeView.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Quote(const std::string& s) {
    std::string quoted = "'";
    for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Kind {
    const char* name;
    const char* extension;
    const char* source;  // ffmpeg's arguments for the video and sound
    const char* encoding;
    double goal;
};
const Kind kKinds[] = {
    // Fields from different moments, as a camcorder records them.
    {"1080/60i AVCHD", ".MTS", "testsrc2=size=1920x1080:rate=60000/1001",
     "-vf tinterlace=interleave_top -flags +ildct+ilme -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 "
     "-f mpegts -mpegts_m2ts_mode 1",
     0.90},
    {"NTSC DV", ".dv", "testsrc2=size=720x480:rate=30000/1001",
     "-pix_fmt yuv411p -c:v dvvideo -c:a pcm_s16le -ac 2 -f dv", 0.85},
};

std::vector<std::string> Clips(const Kind& kind, const std::string& folder, int count, int seconds) {
    std::vector<std::string> clips;
    for (int i = 0; i < count; ++i) {
        const std::string clip = folder + "/clip" + std::to_string(i) + kind.extension;
        if (!Shell(std::string("ffmpeg -nostdin -loglevel error -y -f lavfi -i ") + kind.source +
                   " -f lavfi -i sine=sample_rate=48000 -t " + std::to_string(seconds) + " " + kind.encoding + " " +
                   Quote(clip)))
            return {};
        clips.push_back(clip);
    }
    return clips;
}

// ffmpeg over every clip, one after another, as a shell loop would run it.
double BareLoop(const std::string& ffmpeg, const std::vector<std::string>& clips, const std::string& out) {
    const auto start = Clock::now();
    for (const auto& clip : clips) {
        std::string command = Quote(ffmpeg);
        const std::string result = out + "/" + fs::path(clip).stem().string() + ".mp4";
        for (const auto& arg : convert::BatchRun::ConverterArguments(clip, result)) command += " " + Quote(arg);
        Shell(command + " </dev/null >/dev/null 2>&1");
    }
    return Seconds(Clock::now() - start);
}

// The program's run, START to FINISH, with its real services: the results are
// dated, moved onto the Desktop and flushed.
double ProgramRun(platform::Platform& platform, const std::vector<std::string>& clips, const std::string& desktop,
                  const std::string& temp, int atOnce, int& converted) {
    fs::remove_all(desktop);
    fs::create_directories(desktop);
    testing_support::FixedFolders folders;
    folders.desktop = desktop;
    intake::FileList list;
    list.sTempFolder = temp;
    for (const auto& clip : clips) list.Append(clip, clip);
    testing_support::FakeView view;
    convert::Supervisor supervisor(view);
    convert::BatchRun run(list, view, supervisor,
                          {*platform.files, folders, *platform.processes, false, platform::kNativePaths,
                           platform.access.get(), nullptr, atOnce});
    const auto start = Clock::now();
    run.Command1_Click();
    const double seconds = Seconds(Clock::now() - start);
    converted = 0;
    for (const auto& e : fs::directory_iterator(desktop)) converted += e.path().extension() == ".mp4";
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 8;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 3;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2;
    const int atOnce = argc > 4 ? std::atoi(argv[4]) : convert::ConvertersAtOnce(std::thread::hardware_concurrency());
    testing_support::TempFolder root;
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    std::vector<std::string> searched;
    const std::string ffmpeg = platform.processes->FindConverter(searched);
    bool allConverted = true;
    std::printf("%d clips of %d s each, %d converters at once, medians of %d\n", count, seconds, atOnce, rounds);
    for (const Kind& kind : kKinds) {
        const std::string clipFolder = root / "clips", plain = root / "plain", desktop = root / "Desktop",
                          temp = root / "tmp";
        for (const auto& f : {clipFolder, plain, temp}) fs::remove_all(f), fs::create_directories(f);
        const auto clips = Clips(kind, clipFolder, count, seconds);
        if (clips.empty()) {
            std::fprintf(stderr, "cannot make clips: is ffmpeg installed?\n");
            return 1;
        }
        std::vector<double> bare, program;
        int converted = 0;
        for (int round = 0; round < rounds; ++round) {
            bare.push_back(BareLoop(ffmpeg, clips, plain));
            program.push_back(ProgramRun(platform, clips, desktop, temp, atOnce, converted));
        }
        allConverted = allConverted && converted == count;
        const double bareSeconds = Median(bare), programSeconds = Median(program);
        std::printf(
            "%-16s bare loop %.2f s, Clipvane START to FINISH %.2f s (converted %d): ratio %.3f "
            "(goal: at most %.2f)\n",
            kind.name, bareSeconds, programSeconds, converted, programSeconds / bareSeconds, kind.goal);
    }

    // How soon the end of a converter is noticed: children of several
    // lengths, waited for as the run waits; the delay is from the child's end
    // to the wait's return, the run's next step.
    testing_support::FakeView view;
    convert::Supervisor supervisor(view);
    double worstDelay = 0, sumDelay = 0;
    const double lengths[] = {0.35, 0.8, 1.35};
    for (double length : lengths) {
        std::string error;
        const auto start = Clock::now();
        supervisor.lConverterPid =
            supervisor.Adopt(platform.processes->Start("/bin/sleep", {std::to_string(length)}, error));
        supervisor.WaitForExitProcess(supervisor.lConverterPid);
        const double delay = Seconds(Clock::now() - start) - length;
        worstDelay = std::max(worstDelay, delay);
        sumDelay += delay;
    }
    std::printf("converter end to next step    %.3f s on average, %.3f s at worst (goal: under 0.1 s)\n",
                sumDelay / std::size(lengths), worstDelay);
    return allConverted ? 0 : 1;
}
