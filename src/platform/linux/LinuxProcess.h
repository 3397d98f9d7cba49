#pragma once
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace platform {

// A child started by LinuxProcessLauncher. Its standard output and error
// arrive through one pipe, read whenever the object is asked anything.
class LinuxChildProcess : public ChildProcess {
public:
    LinuxChildProcess(pid_t pid, int outputFd, int pidFd);
    ~LinuxChildProcess() override;
    LinuxChildProcess(const LinuxChildProcess&) = delete;
    LinuxChildProcess& operator=(const LinuxChildProcess&) = delete;

    std::int32_t Id() const override { return pid_; }
    bool WaitFor(std::chrono::milliseconds limit) override;
    void Terminate() override;
    bool Succeeded() const override;
    ExitStatus Status() const override;
    std::string TakeOutput() override;

private:
    // Reads what the pipe holds now, up to `limit` bytes, without blocking.
    void Drain(std::size_t limit);
    // Collects the exit status if the child has ended; true once it has.
    bool Reap(bool block);

    pid_t pid_;
    int outputFd_;
    int pidFd_;
    bool ended_ = false;
    bool statusKnown_ = false;
    int status_ = 0;
    std::string output_;
};

class LinuxProcessLauncher : public ProcessLauncher {
public:
    // The converter is looked for first in `programFolder`, then on PATH.
    explicit LinuxProcessLauncher(std::string programFolder);

    std::string FindConverter(std::vector<std::string>& searched) override;
    // fork + execv: the arguments reach the program exactly as given. The
    // child is killed when the thread that started it ends, so start children
    // from a thread that outlives them (the main thread or their waiter).
    std::unique_ptr<ChildProcess> Start(const std::string& program,
                                        const std::vector<std::string>& arguments,
                                        std::string& error) override;

private:
    std::string programFolder_;
};

}  // namespace platform
