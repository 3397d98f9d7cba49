#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFolders.h"
#include "convert/FailureReason.h"
#include "platform/linux/LinuxProcess.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_linux;
using platform::LinuxProcessLauncher;

struct Ended {
    bool succeeded;
    std::string outcome, output;
};

Ended RunToEnd(const std::string& program, const std::vector<std::string>& arguments) {
    std::string error;
    auto child = LinuxProcessLauncher("").Start(program, arguments, error);
    if (!child) return {false, error, ""};
    std::string output;
    while (!child->WaitFor(10s)) output += child->TakeOutput();
    return {child->Succeeded(), convert::EndText(child->Status()), output + child->TakeOutput()};
}

bool Gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

TEST(LinuxProcess, HowAChildEnds) {
    const int unclosed = open("/dev/null", O_RDONLY);  // without close-on-exec
    const std::vector<Ended> cases = {
        {true, "exit code 0", "out\nerr\n"},
        {false, "exit code 3", "hi\n"},
        {false, "killed by signal 11 (SIGSEGV)", ""},
        // The converter must not wait for keys, nor get our descriptors.
        {true, "exit code 0", "/dev/null\nclosed\n"},
    };
    const std::vector<std::string> scripts = {
        "echo out; echo err >&2",
        "echo hi; exit 3",
        "kill -SEGV $$",
        "cat; readlink /proc/self/fd/0; [ -e /proc/$$/fd/" + std::to_string(unclosed) + " ] || echo closed",
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Ended run = RunToEnd("/bin/sh", {"-c", scripts[i]});
        EXPECT_EQ(run.succeeded, cases[i].succeeded) << scripts[i];
        EXPECT_EQ(run.outcome, cases[i].outcome) << scripts[i];
        EXPECT_EQ(run.output, cases[i].output) << scripts[i];
    }
    close(unclosed);
}

TEST(LinuxProcess, ArgumentsReachTheChildUnchanged) {
    const std::vector<std::string> given = {"two words", "quo\"te", "$HOME", "new\nline", "", "*", "%s", "caf\xc3\xa9\xff"};
    std::vector<std::string> arguments{"%s|"};
    std::string expected;
    for (const auto& argument : given) {
        arguments.push_back(argument);
        expected += argument + "|";
    }
    EXPECT_EQ(RunToEnd("/usr/bin/printf", arguments).output, expected);
}

TEST(LinuxProcess, AProgramThatCannotRunIsNotStarted) {
    std::string error;
    EXPECT_EQ(LinuxProcessLauncher("").Start("/no/such/program", {}, error), nullptr);
    EXPECT_EQ(error, "cannot run /no/such/program: No such file or directory");
    EXPECT_EQ(LinuxProcessLauncher("").Start("sh", {}, error), nullptr);  // PATH is not searched
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);                         // nothing left to reap
}

TEST(LinuxProcess, TerminateAndDroppingKillAndReap) {
    std::string error;
    auto child = LinuxProcessLauncher("").Start("/bin/sleep", {"30"}, error);
    auto dropped = LinuxProcessLauncher("").Start("/bin/sleep", {"30"}, error);
    ASSERT_TRUE(child && dropped) << error;
    EXPECT_FALSE(child->WaitFor(50ms));
    EXPECT_EQ(child->Status().how, platform::ExitStatus::How::kRunning);
    child->Terminate();
    child->Terminate();
    EXPECT_TRUE(Gone(child->Id()));  // reaped, not a zombie
    EXPECT_TRUE(child->WaitFor(0ms));
    EXPECT_EQ(convert::EndText(child->Status()), "killed by signal 9 (SIGKILL)");
    const pid_t pid = dropped->Id();
    dropped.reset();
    EXPECT_TRUE(Gone(pid));
}

TEST(LinuxProcess, MuchOutputDoesNotStallTheChild) {
    const Ended run = RunToEnd("/bin/sh", {"-c", "head -c 3000000 /dev/zero; echo end >&2"});
    EXPECT_TRUE(run.succeeded) << run.outcome;
    EXPECT_EQ(run.output.size(), 3000004u);
}

// The starter dies without cleaning up; the converter must die with it. As a
// subreaper this test inherits the orphan and sees how it ended.
TEST(LinuxProcess, AChildDoesNotOutliveItsStarter) {
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t starter = fork();
    if (starter == 0) {
        std::string error;
        auto child = LinuxProcessLauncher("").Start("/bin/sleep", {"30"}, error);
        const pid_t pid = child ? child->Id() : -1;
        _exit(write(report[1], &pid, sizeof pid) == sizeof pid ? 0 : 1);
    }
    pid_t sleeper = -1;
    ASSERT_EQ(read(report[0], &sleeper, sizeof sleeper), static_cast<ssize_t>(sizeof sleeper));
    close(report[0]);
    close(report[1]);
    waitpid(starter, nullptr, 0);
    int status = 0;
    ASSERT_EQ(waitpid(sleeper, &status, 0), sleeper);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

TEST(LinuxProcess, ConverterBesideTheProgramThenFirstOnPath) {
    TempFolder folder;
    for (const char* dir : {"program", "a", "b", "c"}) std::filesystem::create_directory(folder / dir);
    WriteFile(folder / "program/ffmpeg", "not executable");
    std::filesystem::create_directory(folder / "a/ffmpeg");  // a folder is no program
    for (const char* file : {"b/ffmpeg", "c/ffmpeg"}) {
        WriteFile(folder / file, "#!/bin/sh\n");
        chmod((folder / file).c_str(), 0755);
    }
    const std::string value = (folder / "a") + "::" + (folder / "c") + ":" + (folder / "b");
    ScopedVariable path("PATH", value);
    std::vector<std::string> searched;
    EXPECT_EQ(LinuxProcessLauncher(folder / "program").FindConverter(searched), folder / "c/ffmpeg");
    EXPECT_EQ(searched, (std::vector<std::string>{folder / "program/ffmpeg", "PATH (" + value + ")"}));

    chmod((folder / "program/ffmpeg").c_str(), 0755);
    searched.clear();
    EXPECT_EQ(LinuxProcessLauncher(folder / "program").FindConverter(searched), folder / "program/ffmpeg");
    EXPECT_EQ(searched.size(), 1u);

    ScopedVariable nowhere("PATH", folder / "a");
    EXPECT_EQ(LinuxProcessLauncher(folder / "a").FindConverter(searched), "");
}

}  // namespace
