// A stand-in converter for tests. It behaves as its environment says:
//   FAKE_FFMPEG_LOG     file that receives one line per argument
//   FAKE_FFMPEG_MODE    "ok" (default: writes the output), "fail" (exit code),
//                       "partial" (writes some output, then fails), "crash",
//                       "hang" (runs until killed), "empty" (writes a 0-byte
//                       output and exits 0), "none" (exits 0, writes nothing),
//                       "damaged" (says the input is no video, exits 1)
//   FAKE_FFMPEG_EXIT    the exit code for "fail" and "partial" (default 1)
//   FAKE_FFMPEG_SECONDS how long to run before acting (default 0)
//   FAKE_FFMPEG_CHATTER bytes of progress text to print first (default 0)
//   FAKE_FFMPEG_BYTES   the size of the output in "ok" mode (default 4096); a
//                       write that fails (a full disk) exits 1, as the real one
//   FAKE_FFMPEG_GATE    progress as the real one prints it, step by step: a
//                       10 s input at 3, then 6 seconds; each step waits
//                       until the file <gate><seconds> exists
// An input file whose lines start with "mode=X" picks the mode for itself,
// with "bytes=N" the size of its output, with "gate=G" a gate of its own,
// with "seconds=S" how long it runs.
// The log also says whether the output existed when the converter started.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {
std::string Env(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

bool WriteOutput(const std::string& path, std::size_t bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string chunk(65536, 'v');
    for (std::size_t left = bytes; out && left > 0; left -= std::min(left, chunk.size()))
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(left, chunk.size())));
    out.close();
    return !out.fail();
}
}  // namespace

int main(int argc, char** argv) {
    const std::string output = argc > 1 ? argv[argc - 1] : "";
    const std::string log = Env("FAKE_FFMPEG_LOG", "");
    if (!log.empty()) {
        std::ofstream out(log, std::ios::binary | std::ios::app);
        for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
        out << (std::ifstream(output).good() ? "output existed" : "no output") << "\n--\n";
    }
    std::string mode = Env("FAKE_FFMPEG_MODE", "ok");
    std::string gate = Env("FAKE_FFMPEG_GATE", "");
    double seconds = std::atof(Env("FAKE_FFMPEG_SECONDS", "0").c_str());
    std::size_t bytes = std::strtoul(Env("FAKE_FFMPEG_BYTES", "4096").c_str(), nullptr, 10);
    if (argc > 3) {
        std::ifstream input(argv[3], std::ios::binary);
        if (!input) {
            // As the real one: no input, no output.
            std::cerr << argv[3] << ": No such file or directory\n";
            return 1;
        }
        std::string line;
        for (int n = 0; n < 4 && std::getline(input, line); ++n) {
            if (line.rfind("mode=", 0) == 0) mode = line.substr(5);
            if (line.rfind("bytes=", 0) == 0) bytes = std::strtoul(line.c_str() + 6, nullptr, 10);
            if (line.rfind("gate=", 0) == 0) gate = line.substr(5);
            if (line.rfind("seconds=", 0) == 0) seconds = std::atof(line.c_str() + 8);
        }
    }
    const long chatter = std::atol(Env("FAKE_FFMPEG_CHATTER", "0").c_str());
    for (long written = 0; written < chatter; written += 64)
        std::cerr << "frame=  100 fps= 25 q=-1.0 size=     256kB time=00:00:04.00 speed=1x\n";

    if (!gate.empty()) {
        std::cerr << "Input #0, mpegts, from 'clip.MTS':\n  Duration: 00:00:10.00, start: 1.400000\n";
        for (int step : {3, 6}) {
            std::cerr << "frame=  " << step * 25 << " fps= 25 q=28.0 size=     256kB time=00:00:0" << step
                      << ".00 bitrate=N/A speed=1x    \r" << std::flush;
            while (!std::ifstream(gate + std::to_string(step)).good())
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));

    const int code = std::atoi(Env("FAKE_FFMPEG_EXIT", "1").c_str());
    if (mode == "ok") {
        if (!WriteOutput(output, bytes)) {
            std::cerr << output << ": No space left on device\n";
            return 1;
        }
        return 0;
    }
    if (mode == "empty") {
        WriteOutput(output, 0);
        return 0;
    }
    if (mode == "partial") {
        WriteOutput(output, 1000);
        return code;
    }
    if (mode == "crash") {
        WriteOutput(output, 1000);
        std::abort();
    }
    if (mode == "hang") {
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    if (mode == "none") return 0;
    if (mode == "damaged") {
        std::cerr << (argc > 3 ? argv[3] : "") << ": Invalid data found when processing input\n";
        return 1;
    }
    return code;
}
