#include "LauncherTrust.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <cerrno>
#include <chrono>
#include <vector>

extern char** environ;

namespace platform::posix_detail {

namespace {

// A stuck metadata service must not hold the window for the D-Bus timeout.
constexpr auto kToolTimeLimit = std::chrono::seconds(5);

// Runs a program found on the search path with its output discarded; true
// when it ran and exited with 0 within the time limit.
bool RunQuietly(std::vector<const char*> arguments) {
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    for (const int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, arguments[0], &actions, nullptr,
                                     const_cast<char**>(arguments.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;

    const auto deadline = std::chrono::steady_clock::now() + kToolTimeLimit;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return false;
        }
        const timespec pause{0, 10'000'000};
        nanosleep(&pause, nullptr);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SetMetadata(const std::string& path, const char* key, const std::string& value) {
    // "--": a path is never taken for an option.
    return RunQuietly({"gio", "set", "-t", "string", "--", path.c_str(), key, value.c_str()});
}

}  // namespace

std::string Sha256Hex(const std::string& bytes) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

void MarkLauncherTrusted(const std::string& path, const std::string& content) {
    // The first write tells whether the store is there at all.
    if (!SetMetadata(path, "metadata::xfce-exe-checksum", Sha256Hex(content))) return;
    SetMetadata(path, "metadata::trusted", "true");
}

}  // namespace platform::posix_detail
