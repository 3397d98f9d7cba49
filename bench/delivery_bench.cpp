// Putting a large result on the Desktop: the old copy against a move on one
// file system, and the copy in pieces across two file systems with the
// longest time between two event pumps.
//
//   delivery_bench [GiB] [other-file-system folder]   (default 2, /dev/shm)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/Platform.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void MakeResult(const std::string& path, std::uint64_t size) {
    std::ofstream out(path, std::ios::binary);
    const std::string chunk(1 << 20, 'v');
    for (std::uint64_t done = 0; done < size; done += chunk.size()) out.write(chunk.data(), chunk.size());
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t size = (argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2) << 30;
    const std::string other = argc > 2 ? argv[2] : "/dev/shm";
    platform::Platform p = platform::MakeNativePlatform(0, nullptr);
    testing_support::TempFolder root;
    const std::string result = root / "result.mp4", desktop = root / "desktop.mp4";

    MakeResult(result, size);
    auto start = Clock::now();
    const std::string copyProblem = p.files->CopyFileReplacing(result, desktop);
    const double copy = Seconds(Clock::now() - start);
    fs::remove(desktop);

    start = Clock::now();
    std::string error;
    const bool renamed = p.access->Rename(result, desktop, error) == platform::RenameOutcome::kRenamed;
    const double move = Seconds(Clock::now() - start);

    // What making a result safe costs at worst: all of it just written, its
    // data flushed, then the folder that holds it.
    const std::string fresh = root / "fresh.mp4";
    MakeResult(fresh, size);
    start = Clock::now();
    const std::string flushProblem = p.access->FlushToDisk(fresh) + p.access->FlushFolder(root.str());
    const double flush = Seconds(Clock::now() - start);
    fs::remove(fresh);

    const std::string away = other + "/clipvane-bench-" + std::to_string(getpid()) + ".mp4";
    Clock::time_point last = Clock::now();
    Clock::duration longest{};
    auto pump = [&](std::uint64_t, std::uint64_t) {
        const auto now = Clock::now();
        longest = std::max(longest, now - last);
        last = now;
    };
    start = last = Clock::now();
    const std::string acrossProblem = p.access->CopyInPieces(desktop, away, pump);
    p.access->DeleteInPieces(desktop, pump);
    pump(0, 0);
    const double across = Seconds(Clock::now() - start);
    fs::remove(away);

    std::printf("result                         %.1f GiB\n", size / double(1 << 30));
    std::printf("copy on one file system        %.3f s  %s\n", copy, copyProblem.c_str());
    std::printf("move on one file system        %.6f s  %s\n", move, renamed ? "" : error.c_str());
    std::printf("flush of a just-written result %.3f s  (its data, then its folder)  %s\n", flush,
                flushProblem.c_str());
    std::printf("delivery to %-18s %.3f s  (copy in pieces, then the source freed)  %s\n", other.c_str(), across,
                acrossProblem.c_str());
    std::printf("longest gap between pumps      %.1f ms  (target under 100 ms)\n",
                std::chrono::duration<double, std::milli>(longest).count());
    return copyProblem.empty() && renamed && flushProblem.empty() && acrossProblem.empty() ? 0 : 1;
}
