#pragma once
// A private D-Bus bus and stand-in services on it, for tests (Linux only).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"

extern char** environ;

namespace testing_support {

// A child process whose first line of output the test waits for.
class Child {
public:
    Child(const std::vector<std::string>& argv) {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output_ = out[0];
    }
    ~Child() {
        if (pid_ > 0) {
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
