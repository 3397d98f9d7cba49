#include "LinuxEnvironment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "Paths.h"

namespace platform {

using posix_detail::FolderOf;
using posix_detail::MakeAbsolute;

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeFolder() {
    std::string home = Variable("HOME");
    if (!home.empty()) return home;
    // A service started without HOME still has an entry in the user database.
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

}  // namespace

LinuxEnvironment::LinuxEnvironment(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
}

LinuxEnvironment::LinuxEnvironment(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)) {}

std::string LinuxEnvironment::TemporaryFolder() {
    std::string temp = Variable("TEMP");
    if (!temp.empty()) return temp;
    // The XDG rules ignore a relative XDG_CACHE_HOME.
    const std::string cache = Variable("XDG_CACHE_HOME");
    if (!cache.empty() && cache.front() == '/') return cache + "/clipvane";
    const std::string home = HomeFolder();
    if (home.empty()) return "/tmp/clipvane";
    return home + "/.cache/clipvane";
}

ProgramArguments LinuxEnvironment::Arguments() {
    ProgramArguments result;
    std::vector<std::string> tokens;
    tokens.reserve(arguments_.size());
    for (const auto& argument : arguments_) {
        if (argument.empty()) {
            tokens.emplace_back("\"\"");
            continue;
        }
        std::string token = MakeAbsolute(argument);
        if (token.find(' ') != std::string::npos) token = '"' + token + '"';
        tokens.push_back(std::move(token));
    }
    result.rawTokens = std::move(tokens);
    return result;
}

std::string LinuxEnvironment::ProgramFolder() {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return FolderOf(buffer);
        }
        // The link may have been cut short: try again with more room.
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace platform
