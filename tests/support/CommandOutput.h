#pragma once
// What a shell command prints on its standard output (POSIX tests only).
#include <cstdio>
#include <string>

namespace testing_support {

inline std::string CommandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

}  // namespace testing_support
