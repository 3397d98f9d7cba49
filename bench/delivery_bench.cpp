// Putting a large result on the Desktop: the old copy against a move on one
// file system, then a whole delivery of a result just written (its data still
// in memory), as a run makes it, on one file system and from another, with
// the longest time between two event pumps: what the window waits at worst.
//
//   delivery_bench [GiB] [a temporary folder on another file system]   (default 2, /dev/shm)
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
    fs::remove(desktop);

    const std::string here = root / "tmp", desktopFolder = root / "Desktop";
    fs::create_directories(here);
    fs::create_directories(desktopFolder);
    struct Delivery {
        double seconds = 0, longestMs = 0;
        std::string problem, where;
    };
    // Staged beside its place by a rename or a copy in pieces, dated, flushed
    // in pieces, renamed into place, its folder flushed, a copied source freed.
    auto deliver = [&](const std::string& folder) {
        const std::string fresh = folder + "/fresh.mp4", staging = desktopFolder + "/.incoming.mp4";
        MakeResult(fresh, size);
        Delivery d;
        Clock::time_point last = Clock::now();
        Clock::duration longest{};
        const char* step = "staging";
        auto pump = [&](std::uint64_t, std::uint64_t) {
            const auto now = Clock::now();
            if (now - last > longest) d.where = step;
            longest = std::max(longest, now - last);
            last = now;
        };
        const auto began = last;
        std::string problem;
        const auto how = p.access->Rename(fresh, staging, problem);
        if (how == platform::RenameOutcome::kOtherFileSystem) problem = p.access->CopyInPieces(fresh, staging, pump);
        pump(0, 0);
        step = "flush";
        problem += p.access->SetModificationTime(staging, 1433160000);
        problem += p.access->FlushToDisk(staging, pump);
        pump(0, 0);
        step = "rename";
        problem += p.files->MoveReplacing(staging, desktopFolder + "/result.mp4");
        pump(0, 0);
        step = "folder flush";
        problem += p.access->FlushFolder(desktopFolder, pump);
        pump(0, 0);
        step = "freeing the source";
        if (how == platform::RenameOutcome::kOtherFileSystem) problem += p.access->DeleteInPieces(fresh, pump);
        pump(0, 0);
        d.seconds = Seconds(Clock::now() - began);
        d.longestMs = std::chrono::duration<double, std::milli>(longest).count();
        d.problem = problem;
        fs::remove(desktopFolder + "/result.mp4");
        return d;
    };
    const Delivery same = deliver(here);
    const std::string away = other + "/clipvane-bench-" + std::to_string(getpid());
    fs::create_directories(away);
    const Delivery across = deliver(away);
    fs::remove_all(away);

    std::printf("result                         %.1f GiB\n", size / double(1 << 30));
    std::printf("copy on one file system        %.3f s  %s\n", copy, copyProblem.c_str());
    std::printf("move on one file system        %.6f s  %s\n", move, renamed ? "" : error.c_str());
    std::printf("delivery on one file system    %.3f s, longest gap between pumps %.1f ms (%s)  %s\n", same.seconds,
                same.longestMs, same.where.c_str(), same.problem.c_str());
    std::printf("delivery from %-16s %.3f s, longest gap between pumps %.1f ms (%s)  %s\n", other.c_str(),
                across.seconds, across.longestMs, across.where.c_str(), across.problem.c_str());
    std::printf("(the goal: the window waits under 100 ms)\n");
    return copyProblem.empty() && renamed && same.problem.empty() && across.problem.empty() ? 0 : 1;
}
