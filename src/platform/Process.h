#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// How a process ended, as data: the words for it are made where they are shown.
struct ExitStatus {
    enum class How {
        kRunning,     // not ended yet
        kExited,      // `code` is its exit code (on Windows an exception code for a crash)
        kSignalled,   // killed by `signal`, named `signalName` ("SIGKILL")
        kTerminated,  // stopped by us
        kUnknown,     // ended, but how cannot be told
    };
    How how = How::kRunning;
    std::uint32_t code = 0;
    int signal = 0;
    std::string signalName;
    bool operator==(const ExitStatus&) const = default;

    static ExitStatus Exited(std::uint32_t code) { return {How::kExited, code, 0, {}}; }
    static ExitStatus Signalled(int signal, std::string name) { return {How::kSignalled, 0, signal, std::move(name)}; }
    static ExitStatus Ended(How how) { return {how, 0, 0, {}}; }
};

// A started converter: our own child. It never outlives the program.
class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    virtual std::int32_t Id() const = 0;
    // Waits up to the limit; true once the process has ended (or the wait
    // failed). Output is read meanwhile, so the converter never stalls on it.
    virtual bool WaitFor(std::chrono::milliseconds limit) = 0;
    // Stops the process at once and reaps it.
    virtual void Terminate() = 0;
    // After the end: true only for a normal exit with code 0.
    virtual bool Succeeded() const = 0;
    // How it ended.
    virtual ExitStatus Status() const = 0;
    // Output that arrived since the last call (standard output and error).
    virtual std::string TakeOutput() = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // The converter program to run, or "" when there is none; `searched`
    // receives the places looked at, for the message to the user.
    virtual std::string FindConverter(std::vector<std::string>& searched) = 0;
    // Starts a program with an argument vector (no shell); nullptr and the
    // reason in `error` when it cannot be started.
    virtual std::unique_ptr<ChildProcess> Start(const std::string& program,
                                                const std::vector<std::string>& arguments,
                                                std::string& error) = 0;
};

}  // namespace platform
