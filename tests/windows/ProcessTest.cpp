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
    // This program started again as a child in the given mode.
    std::unique_ptr<platform::ChildProcess> StartChild(
        const std::wstring& mode, const std::vector<std::string>& arguments = {}) {
        ScopedVariable variable(kChildVariable, mode.c_str());
        std::string error;
        auto child = launcher->Start(ThisProgram(), arguments, error);
        EXPECT_NE(child, nullptr) << error;
        return child;
    }

    TestFolder root;
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
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.mode));
        auto child = StartChild(c.mode);
        ASSERT_NE(child, nullptr);
        ASSERT_TRUE(child->WaitFor(30s));
        EXPECT_EQ(child->Succeeded(), c.succeeded);
        EXPECT_EQ(convert::EndText(child->Status()), c.outcome);
        EXPECT_EQ(child->TakeOutput(), "");
    }
}

TEST_F(WindowsProcessTest, ItsOutputArrivesThroughAPipeDrainedAlsoInAForeignMessageLoop) {
    // Three times what the pipe holds, while only a message loop runs, as in
    // a message box: the timer's drain keeps the converter going.
    WriteFile(root / "clip.MTS", "mode=fail");
    ScopedVariable chatter(L"FAKE_FFMPEG_CHATTER", L"3000000");
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
    EXPECT_EQ(output.substr(0, 10), "frame=  10");
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
