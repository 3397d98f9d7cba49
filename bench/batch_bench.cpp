// The conversion run from START to FINISH against a bare loop of the same
// converter, with the same arguments, over the same clips: what the program
// costs beyond ffmpeg's own work (goal: at most 1.05 times the bare loop),
// and how soon it notices that a converter has ended.
//
//   batch_bench [clips] [seconds] [rounds]     (default 4 clips of 3 s, 2 rounds)
//
// The clips are 1080/60i camcorder-like clips, H.264 and AC-3 in M2TS. The
// two ways alternate, round by round, and each reports its median.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
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

std::vector<std::string> Clips(const std::string& folder, int count, int seconds) {
    std::vector<std::string> clips;
    for (int i = 0; i < count; ++i) {
        const std::string clip = folder + "/clip" + std::to_string(i) + ".MTS";
        // Fields from different moments, as a camcorder records them.
        if (!Shell("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1920x1080:rate=60000/1001 "
                   "-f lavfi -i sine=sample_rate=48000 -t " +
                   std::to_string(seconds) +
                   " -vf tinterlace=interleave_top -flags +ildct+ilme -c:v libx264 -preset ultrafast "
                   "-pix_fmt yuv420p -c:a ac3 -f mpegts -mpegts_m2ts_mode 1 " +
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
                  const std::string& temp, int& converted) {
    fs::remove_all(desktop);
    fs::create_directories(desktop);
    testing_support::FixedFolders folders;
    folders.desktop = desktop;
    intake::FileList list;
    list.sTempFolder = temp;
    for (const auto& clip : clips) list.Append(clip, clip);
    testing_support::FakeView view;
    convert::Supervisor supervisor(view);
    convert::BatchRun run(
        list, view, supervisor,
        {*platform.files, folders, *platform.processes, false, platform::kNativePaths, platform.access.get()});
    const auto start = Clock::now();
    run.Command1_Click();
    const double seconds = Seconds(Clock::now() - start);
    converted = 0;
    for (const auto& e : fs::directory_iterator(desktop)) converted += e.path().extension() == ".mp4";
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 4;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 3;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2;
    testing_support::TempFolder root;
    const std::string clipFolder = root / "clips", plain = root / "plain", desktop = root / "Desktop",
                      temp = root / "tmp";
    for (const auto& f : {clipFolder, plain, temp}) fs::create_directories(f);
    const auto clips = Clips(clipFolder, count, seconds);
    if (clips.empty()) {
        std::fprintf(stderr, "cannot make clips: is ffmpeg installed?\n");
        return 1;
    }

    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    std::vector<std::string> searched;
    const std::string ffmpeg = platform.processes->FindConverter(searched);
    std::vector<double> bare, program;
    int converted = 0;
    for (int round = 0; round < rounds; ++round) {
        bare.push_back(BareLoop(ffmpeg, clips, plain));
        program.push_back(ProgramRun(platform, clips, desktop, temp, converted));
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
    const double bareSeconds = Median(bare), programSeconds = Median(program);
    std::printf("clips                         %d of %d s, 1080/60i (converted %d)\n", count, seconds, converted);
    std::printf("bare ffmpeg loop              %.2f s  (median of %d)\n", bareSeconds, rounds);
    std::printf("Clipvane, START to FINISH     %.2f s  (median of %d)\n", programSeconds, rounds);
    std::printf("ratio                         %.3f  (goal: at most 1.05)\n", programSeconds / bareSeconds);
    std::printf("converter end to next step    %.3f s on average, %.3f s at worst (goal: under 0.1 s)\n",
                sumDelay / std::size(lengths), worstDelay);
    return converted == count ? 0 : 1;
}
