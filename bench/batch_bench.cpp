// The conversion run against a plain loop of the converter over the same
// clips, in one run: what the program costs per file beyond its deliberate
// pauses, and how soon it notices that a converter has ended.
//
//   batch_bench [clips]      (default 8)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "convert/BatchRun.h"
#include "platform/Platform.h"
#include "support/FakeView.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 8;
    testing_support::TempFolder root;
    const std::string clips = root / "clips", plain = root / "plain", desktop = root / "Desktop",
                      temp = root / "tmp";
    for (const auto& f : {clips, plain, desktop, temp}) fs::create_directories(f);

    // Tiny camcorder-like clips: H.264 and AC-3 in a 192-byte-packet stream.
    for (int i = 0; i < count; ++i) {
        const std::string clip = clips + "/clip" + std::to_string(i) + ".MTS";
        if (!Shell("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=160x90:rate=25 "
                   "-f lavfi -i sine=sample_rate=48000 -t 0.2 -c:v libx264 -preset ultrafast "
                   "-pix_fmt yuv420p -c:a ac3 -f mpegts -mpegts_m2ts_mode 1 " + Quote(clip))) {
            std::fprintf(stderr, "cannot make clips: is ffmpeg installed?\n");
            return 1;
        }
    }

    // The plain loop.
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const std::string name = "clip" + std::to_string(i);
        Shell("ffmpeg -nostdin -loglevel quiet -y -i " + Quote(clips + "/" + name + ".MTS") + " -f mp4 " +
              Quote(plain + "/" + name + ".mp4"));
    }
    const double plainSeconds = Seconds(Clock::now() - start);

    // The program's run, with its one-second pauses taken out and the
    // converter watched in its usual 100 ms steps.
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    testing_support::FixedFolders folders;
    folders.desktop = desktop;
    intake::FileList list;
    list.sTempFolder = temp;
    for (int i = 0; i < count; ++i) {
        const std::string clip = clips + "/clip" + std::to_string(i) + ".MTS";
        list.Append(clip, clip);
    }
    testing_support::FakeView view;
    convert::Supervisor supervisor(view, {std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                          std::chrono::milliseconds(100)});
    convert::BatchRun run(
        list, view, supervisor,
        {*platform.files, folders, *platform.processes, false, platform::kNativePaths, platform.access.get()});
    start = Clock::now();
    run.Command1_Click();
    const double runSeconds = Seconds(Clock::now() - start);
    int converted = 0;
    for (const auto& e : fs::directory_iterator(desktop)) converted += e.path().extension() == ".mp4";

    // How soon the end of a converter is noticed with the real pauses:
    // children of several lengths, waited for as the run waits; the delay is
    // from the child's end to the wait's return, the run's next step.
    convert::Supervisor real(view, convert::Timing{});
    double worstDelay = 0, sumDelay = 0;
    const double lengths[] = {0.35, 0.8, 1.35, 1.9, 2.5};
    for (double length : lengths) {
        std::string error;
        start = Clock::now();
        auto child = platform.processes->Start("/bin/sleep", {std::to_string(length)}, error);
        real.lConverterPid = real.Adopt(std::move(child));
        real.WaitForExitProcess(real.lConverterPid);
        const double delay = Seconds(Clock::now() - start) - length;
        worstDelay = std::max(worstDelay, delay);
        sumDelay += delay;
    }
    std::printf("clips                         %d (converted %d)\n", count, converted);
    std::printf("plain loop                    %.3f s  (%.3f s per file)\n", plainSeconds, plainSeconds / count);
    std::printf("the run, pauses taken out     %.3f s  (%.3f s per file)\n", runSeconds, runSeconds / count);
    std::printf("overhead per file             %.3f s  (target under 0.1 s)\n", (runSeconds - plainSeconds) / count);
    std::printf("converter end to next step    %.3f s on average, %.3f s at worst (%zu children; "
                "target under 0.2 s)\n",
                sumDelay / std::size(lengths), worstDelay, std::size(lengths));
    return converted == count ? 0 : 1;
}
