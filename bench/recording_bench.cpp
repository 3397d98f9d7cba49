// How long START takes to tell which listed files are pieces of one
// recording, for 1,000 listed clips: all pieces of one long recording, or
// every one a recording of its own. The clips are 128 KiB of camcorder
// packets each, read from the page cache (a card reader adds its own
// latency to the few KiB read at each end).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "convert/Recordings.h"
#include "platform/Platform.h"
#include "support/AvchdClip.h"
#include "support/TempFolder.h"

namespace {

constexpr int kFiles = 1000, kPackets = 128 * 1024 / 192;

// The clips, made once: `joined` pieces of one recording, or each one a recording of its own.
const std::vector<std::string>& Clips(bool joined) {
    static testing_support::TempFolder folder;
    static std::vector<std::string> made[2];
    auto& paths = made[joined];
    if (paths.empty()) {
        const std::string dir = folder / (joined ? "pieces" : "own");
        std::filesystem::create_directories(dir);
        for (int i = 0; i < kFiles; ++i) {
            const auto bytes = testing_support::RecordedPackets(joined ? i * kPackets : 0, kPackets, true);
            char name[32];
            std::snprintf(name, sizeof name, "/%05d.MTS", i);
            testing_support::WriteFile(dir + name, std::string(bytes.begin(), bytes.end()));
            paths.push_back(dir + name);
        }
    }
    return paths;
}

void RecordingSpans(benchmark::State& state) {
    const bool joined = state.range(0) != 0;
    const auto& paths = Clips(joined);
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    int recordings = 0;
    for (auto _ : state) {
        const auto spans = convert::RecordingSpans(paths, *platform.access, [] {});
        recordings = static_cast<int>(std::count_if(spans.begin(), spans.end(), [](int s) { return s > 0; }));
    }
    state.SetLabel(std::to_string(kFiles) + " files, " + std::to_string(recordings) + " recordings");
    state.counters["per file"] =
        benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(RecordingSpans)->ArgName("pieces")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
