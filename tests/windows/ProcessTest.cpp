#include <gtest/gtest.h>

#include <chrono>

#include "WindowsTestSupport.h"
#include "convert/FailureReason.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

using namespace std::chrono_literals;
using namespace wintest;

// Whether the process with this identifier has ended within the limit.
bool Gone(std::int32_t id, DWORD limitMs = 10000) {
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (!h) return true;
    const bool ended = WaitForSingleObject(h, limitMs) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

class WindowsProcessTest : public testing::Test {
protected:
    // Each converter's output file goes when it and what it started have
    // ended, however they end; a program it left behind may take a moment.
    void TearDown() override {
        for (int i = 0; i < 500 && EntryCount(temporary.str()) > 0; ++i) Sleep(20);
        EXPECT_EQ(EntryCount(temporary.str()), 0) << "a converter's output file stays behind";
    }

    // This program started again as a child in the given mode.
    std::unique_ptr<platform::ChildProcess> StartChild(
        const std::wstring& mode, const std::vector<std::string>& arguments = {}) {
        ScopedVariable variable(kChildVariable, mode.c_str());
        std::string error;
        auto child = launcher->Start(ThisProgram(), arguments, error);
        EXPECT_NE(child, nullptr) << error;
        return child;
    }

    TestFolder root, temporary;
    ScopedVariable temp{L"TEMP", Wide(temporary.str()).c_str()};
    std::unique_ptr<platform::ProcessLauncher> launcher =
        platform::windows::MakeProcessLauncher(root.str());
};

TEST_F(WindowsProcessTest, TheConverterIsLookedForBesideTheProgramOnly) {
    std::vector<std::string> searched;
    EXPECT_EQ(launcher->FindConverter(searched), "");
    EXPECT_EQ(searched, std::vector<std::string>{root / "ffmpeg.exe"});

    MakeFolder(root / "ffmpeg.exe");  // a folder of that name is no converter
    searched.clear();
    EXPECT_EQ(launcher->FindConverter(searched), "");

    TestFolder other;
    WriteFile(other / "ffmpeg.exe");
    searched.clear();
    EXPECT_EQ(platform::windows::MakeProcessLauncher(other.str())->FindConverter(searched),
              other / "ffmpeg.exe");
}

TEST_F(WindowsProcessTest, ArgumentsArriveAsGiven) {
    const std::vector<std::string> arguments = {"-y",
                                                "-i",
                                                "C:\\Vid\u00e9os\\BIRTHD~1.MTS",
                                                "-f",
                                                "mp4",
                                                "C:\\Temp Folder\\BIRTHD~1.mp4",
                                                "",
                                                "tab\there",
                                                "C:\\ends in backslash\\",
                                                "say \"hi\"",
                                                "back\\\\\"slash"};
    const std::string out = root / "argv.txt";
    auto child = StartChild(L"argv:" + Wide(out), arguments);
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(child->WaitFor(30s));
    std::string expected;
    for (const auto& argument : arguments) expected += "[" + argument + "]\n";
    EXPECT_EQ(ReadFile(out), expected);
    EXPECT_TRUE(child->Succeeded());
}

TEST_F(WindowsProcessTest, ExitCodesDecideSuccess) {
    const struct {
        const wchar_t* mode;
        bool succeeded;
        const char* outcome;
    } cases[] = {
        {L"exit:0", true, "exit code 0"},
        {L"exit:1", false, "exit code 1"},
        {L"exit:259", false, "exit code 259"},  // the value that also means "still active"
        {L"exit:0xC0000005", false, "exit code 0xC0000005"},
    };
    // All at once: each one's output, to its last line, is its own.
    std::unique_ptr<platform::ChildProcess> children[std::size(cases)];
    for (std::size_t i = 0; i < std::size(cases); ++i) ASSERT_NE(children[i] = StartChild(cases[i].mode), nullptr);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(Utf8(cases[i].mode));
        ASSERT_TRUE(children[i]->WaitFor(30s));
        EXPECT_EQ(children[i]->Succeeded(), cases[i].succeeded);
        EXPECT_EQ(convert::EndText(children[i]->Status()), cases[i].outcome);
        EXPECT_EQ(children[i]->TakeOutput(), Utf8(cases[i].mode) + "\n");
    }
}

TEST_F(WindowsProcessTest, OutputUntakenThroughAForeignMessageLoopKeepsItsHeadAndItsLastLines) {
    // Megabytes of it, while only a message loop runs, as in a message box:
    // the converter never stalls on it; more than is kept loses its middle.
    WriteFile(root / "clip.MTS", "mode=damaged");
    ScopedVariable chatter(L"FAKE_FFMPEG_CHATTER", L"6000000");
    std::string error;
    auto child =
        launcher->Start(FAKE_FFMPEG_PATH, {"-y", "-i", root / "clip.MTS", "-f", "mp4", root / "clip.mp4"}, error);
    ASSERT_NE(child, nullptr) << error;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(child->Id()));
    DWORD woke;
    while ((woke = MsgWaitForMultipleObjects(1, &process, FALSE, 60000, QS_ALLINPUT)) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    CloseHandle(process);
    ASSERT_EQ(woke, WAIT_OBJECT_0) << "the converter stalled";
    ASSERT_TRUE(child->WaitFor(0ms));
    const std::string output = child->TakeOutput();
    EXPECT_GE(output.size(), 3000000u);
    EXPECT_LT(output.size(), 6000000u);
    EXPECT_NE(output.find("\n[...]\n"), std::string::npos);
    EXPECT_EQ(output.substr(0, 10), "frame=  10");
    EXPECT_EQ(output.substr(output.rfind(": ")), ": Invalid data found when processing input\r\n");
    EXPECT_EQ(convert::EndText(child->Status()), "exit code 1");
}

TEST_F(WindowsProcessTest, AHangingConverterIsWaitedForThenTerminated) {
    auto child = StartChild(L"hang");
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(child->WaitFor(300ms));
    EXPECT_EQ(child->Status().how, platform::ExitStatus::How::kRunning);
    EXPECT_FALSE(child->Succeeded());

    child->Terminate();
    // Terminated with exit code 0, which must not read as success.
    EXPECT_TRUE(child->WaitFor(0ms));
    EXPECT_FALSE(child->Succeeded());
    EXPECT_EQ(child->Status().how, platform::ExitStatus::How::kTerminated);
    EXPECT_TRUE(Gone(child->Id(), 0));
}

TEST_F(WindowsProcessTest, TheConverterEndsWhenItExitsAndWhatItLeftRunningIsStopped) {
    // What it started holds its output: no reason to wait, nor to let it run on.
    const std::string out = root / "left id.txt";
    auto child = StartChild(L"leave:" + Wide(out));
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(child->WaitFor(30s));
    EXPECT_EQ(child->TakeOutput(), "leaving\n");
    EXPECT_EQ(convert::EndText(child->Status()), "exit code 3");
    const std::int32_t left = std::atoi(ReadFile(out).c_str());
    ASSERT_NE(left, 0) << ReadFile(out);
    EXPECT_TRUE(Gone(left));
}

TEST_F(WindowsProcessTest, ReleasingTheChildStopsIt) {
    auto child = StartChild(L"hang");
    ASSERT_NE(child, nullptr);
    const std::int32_t id = child->Id();
    child.reset();
    EXPECT_TRUE(Gone(id));
}

TEST_F(WindowsProcessTest, TheJobKillsTheConverterWhenTheProgramDiesUncleanly) {
    // The child starts a hanging converter, then dies without running any
    // destructor; only the job object can stop the converter then.
    const std::string out = root / "converter id.txt";
    auto parent = StartChild(L"orphan:" + Wide(out));
    ASSERT_NE(parent, nullptr);
    ASSERT_TRUE(parent->WaitFor(30s));
    const std::int32_t converter = std::atoi(ReadFile(out).c_str());
    ASSERT_NE(converter, 0) << ReadFile(out);
    EXPECT_TRUE(Gone(converter));
}

TEST_F(WindowsProcessTest, AProgramThatCannotStartGivesAReason) {
    std::string error;
    EXPECT_EQ(launcher->Start(root / "ffmpeg.exe", {"-y"}, error), nullptr);
    EXPECT_NE(error.find(root / "ffmpeg.exe"), std::string::npos) << error;
}

}  // namespace
