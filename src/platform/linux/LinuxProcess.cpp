#include "LinuxProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "Paths.h"
#include "platform/Catalog.h"

namespace platform {

using posix_detail::Reason;

namespace {

// Bounds one round of reading, so a child that writes without pause cannot
// keep WaitFor from looking at the clock.
constexpr std::size_t kDrainLimit = 4 << 20;

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0;
}

std::string Joined(const std::string& folder, const char* name) {
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::string SearchPath() {
    if (const char* path = std::getenv("PATH")) return path;
    // What execvp would search without PATH.
    std::string path(confstr(_CS_PATH, nullptr, 0), '\0');
    if (path.empty()) return "/bin:/usr/bin";
    confstr(_CS_PATH, path.data(), path.size());
    path.pop_back();  // the terminating NUL
    return path;
}

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// The child's descriptors 0-2 are filled by dup2; a source that is itself one
// of them (the parent started with a standard stream closed) would be
// overwritten or stay close-on-exec, so it moves above them first.
bool AboveStandardStreams(int& fd) {
    if (fd > STDERR_FILENO) return true;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0) return false;
    close(fd);
    fd = moved;
    return true;
}

std::string SignalName(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    return abbreviation ? std::string("SIG") + abbreviation : "unknown";
}

}  // namespace

LinuxChildProcess::LinuxChildProcess(pid_t pid, int outputFd, int pidFd)
    : pid_(pid), outputFd_(outputFd), pidFd_(pidFd) {}

LinuxChildProcess::~LinuxChildProcess() {
    Terminate();
    CloseFd(outputFd_);
    CloseFd(pidFd_);
}

void LinuxChildProcess::Drain(std::size_t limit) {
    char buffer[64 * 1024];
    std::size_t taken = 0;
    while (outputFd_ >= 0 && taken < limit) {
        const ssize_t got = read(outputFd_, buffer, sizeof buffer);
        if (got > 0) {
            output_.append(buffer, static_cast<std::size_t>(got));
            taken += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else {
            // End of output, or a pipe that can no longer be read.
            CloseFd(outputFd_);
        }
    }
}

bool LinuxChildProcess::Reap(bool block) {
    if (ended_) return true;
    int status = 0;
    pid_t result;
    do {
        result = waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return false;
    ended_ = true;
    // A failed wait (SIGCHLD ignored, so the system reaped it) still means
    // the child is gone; only its status is unknown.
    if (result == pid_) {
        statusKnown_ = true;
        status_ = status;
    }
    CloseFd(pidFd_);
    return true;
}

bool LinuxChildProcess::WaitFor(std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + limit;
    for (;;) {
        Drain(kDrainLimit);
        if (Reap(false)) {
            Drain(kDrainLimit);
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;

        pollfd fds[2];
        nfds_t count = 0;
        if (outputFd_ >= 0) fds[count++] = {outputFd_, POLLIN, 0};
        if (pidFd_ >= 0) fds[count++] = {pidFd_, POLLIN, 0};
        // Without a pidfd nothing tells us the child ended: look again soon.
        const long long timeout = pidFd_ >= 0 ? std::min<long long>(left, INT_MAX)
                                              : std::min<long long>(left, 10);
        poll(fds, count, static_cast<int>(timeout));  // EINTR just goes round again
    }
}

void LinuxChildProcess::Terminate() {
    if (!ended_) {
        kill(pid_, SIGKILL);
        Reap(true);
    }
    Drain(kDrainLimit);
}

bool LinuxChildProcess::Succeeded() const {
    return ended_ && statusKnown_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
}

ExitStatus LinuxChildProcess::Status() const {
    using How = ExitStatus::How;
    if (!ended_) return {};
    if (statusKnown_ && WIFEXITED(status_)) return ExitStatus::Exited(static_cast<std::uint32_t>(WEXITSTATUS(status_)));
    if (statusKnown_ && WIFSIGNALED(status_))
        return ExitStatus::Signalled(WTERMSIG(status_), SignalName(WTERMSIG(status_)));
    return ExitStatus::Ended(How::kUnknown);
}

std::string LinuxChildProcess::TakeOutput() {
    Drain(kDrainLimit);
    return std::exchange(output_, std::string());
}

LinuxProcessLauncher::LinuxProcessLauncher(std::string programFolder)
    : programFolder_(std::move(programFolder)) {}

std::string LinuxProcessLauncher::FindConverter(std::vector<std::string>& searched) {
    if (!programFolder_.empty()) {
        const std::string beside = Joined(programFolder_, "ffmpeg");
        searched.push_back(beside);
        if (IsExecutableFile(beside)) return beside;
    }
    const std::string path = SearchPath();
    searched.push_back("PATH (" + path + ")");
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        // An empty entry would mean the current folder; a converter is never
        // taken from wherever the program happens to be started.
        if (end > start) {
            const std::string candidate = Joined(path.substr(start, end - start), "ffmpeg");
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

std::unique_ptr<ChildProcess> LinuxProcessLauncher::Start(const std::string& program,
                                                          const std::vector<std::string>& arguments,
                                                          std::string& error) {
    error.clear();
    const auto failure = [&](int cause) { return Told(N_("cannot run %1: %2"), {program, Reason(cause)}); };

    // Everything the child needs is made before fork: between fork and exec
    // only async-signal-safe calls are allowed.
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The converter would otherwise read keys from the terminal.
    int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int output[2] = {-1, -1};
    int report[2] = {-1, -1};
    if (input < 0 || pipe2(output, O_CLOEXEC) != 0 || pipe2(report, O_CLOEXEC) != 0 ||
        !AboveStandardStreams(input) || !AboveStandardStreams(output[1]) ||
        !AboveStandardStreams(report[1])) {
        error = failure(errno);
        CloseFd(input);
        for (int* fd : {&output[0], &output[1], &report[0], &report[1]}) CloseFd(*fd);
        return nullptr;
    }

    const pid_t parent = getpid();
    // No handler of ours may run in the child before exec.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t pid = fork();
    if (pid == 0) {
        // Killed with us, even when we are killed; if we already died before
        // this was set, nobody would ever stop this converter.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        for (int s = 1; s < NSIG; ++s) signal(s, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        dup2(input, STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        dup2(output[1], STDERR_FILENO);
        // Descriptors other code opened without close-on-exec stay with us.
        close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
        pthread_sigmask(SIG_SETMASK, &none, nullptr);
        execv(program.c_str(), argv.data());
        const int execError = errno;
        [[maybe_unused]] auto ignored = write(report[1], &execError, sizeof execError);
        _exit(127);
    }
    const int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    CloseFd(input);
    CloseFd(output[1]);
    CloseFd(report[1]);
    if (pid < 0) {
        CloseFd(output[0]);
        CloseFd(report[0]);
        error = failure(forkError);
        return nullptr;
    }

    // The report pipe closes on a successful exec; an errno arrives otherwise.
    int execError = 0;
    ssize_t got;
    do {
        got = read(report[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    CloseFd(report[0]);
    if (got == static_cast<ssize_t>(sizeof execError)) {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        CloseFd(output[0]);
        error = failure(execError);
        return nullptr;
    }

    fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);
    // Lets WaitFor sleep until the child ends; older kernels go without.
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    return std::make_unique<LinuxChildProcess>(pid, output[0], pidFd);
}

}  // namespace platform
