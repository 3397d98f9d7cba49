#pragma once
// A private D-Bus bus and stand-in services on it, for tests (Linux only).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace testing_support {

// A child process whose first line of output the test waits for. It dies
// with the test however the test ends (a crash runs no destructor), and its
// errors go to `errors`, never to the test's own output, which whoever runs
// the test waits on until every holder is gone.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv, const std::string& errors = "/dev/null") {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const pid_t test = getpid();
        pid_ = fork();
        if (pid_ == 0) {
            // Only what is safe between fork and exec in a threaded program.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != test) _exit(127);  // the test ended already
            setpgid(0, 0);                      // what it starts in turn goes with it
            dup2(out[1], 1);
            if (err >= 0) dup2(err, 2);
            execv(args[0], args.data());
            _exit(127);
        }
        if (pid_ < 0) pid_ = 0;
        if (err >= 0) close(err);
        close(out[1]);
        output_ = out[0];
    }
    ~Child() {
        if (pid_ > 0) {
            kill(-pid_, SIGTERM);
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) close(output_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The first line it prints, or "" when none comes within five seconds.
    std::string FirstLine() {
        std::string line;
        pollfd p{output_, POLLIN, 0};
        while (poll(&p, 1, 5000) > 0) {
            char c;
            if (read(output_, &c, 1) != 1 || c == '\n') break;
            line += c;
        }
        return line;
    }

private:
    pid_t pid_ = 0;
    int output_ = -1;
};

// A dbus-daemon of the test's own, open to anyone on it; stops with the test.
class PrivateBus {
public:
    PrivateBus() {
        const std::string config = folder_ / "bus.conf";
        std::ofstream(config) << "<busconfig><type>session</type><listen>unix:dir=" << folder_.str()
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                 "<allow own=\"*\"/></policy></busconfig>";
        daemon_ = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"});
        address_ = daemon_->FirstLine();
    }
    const std::string& address() const { return address_; }

    // Starts a stand-in service (see tests/tools/dbus_stand_in.cpp); true once it serves.
    bool Serve(const std::string& service) {
        services_.push_back(std::make_unique<Child>(
            std::vector<std::string>{DBUS_STAND_IN_PATH, address_, service, log()}));
        return services_.back()->FirstLine() == "ready";
    }
    // What the stand-ins were asked, one line per call.
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        std::ifstream in(log());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string log() const { return folder_ / "calls.log"; }

private:
    TempFolder folder_;
    std::unique_ptr<Child> daemon_;
    std::string address_;
    std::vector<std::unique_ptr<Child>> services_;
};

}  // namespace testing_support
