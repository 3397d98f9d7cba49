// The real Clipvane.exe driven from outside, as a user would: started with
// two clips on its command line and the stand-in converter beside it, its
// window found, read and clicked through window messages only. Also the
// Windows download, unpacked, on real clips (see the last test).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

// clang-format off
#include "windows/WindowsTestSupport.h"
#include <commctrl.h>
#include <tlhelp32.h>
// clang-format on

namespace {

using namespace wintest;

std::string TextOf(HWND h) {
    wchar_t text[65536];
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length))
        return "<no answer>";
    return Utf8(std::wstring(text, length));
}

struct Found {
    DWORD pid;
    HWND window = nullptr;
    std::string title = "Clipvane";
};

BOOL CALLBACK FindMain(HWND h, LPARAM found) {
    auto* f = reinterpret_cast<Found*>(found);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == f->pid && IsWindowVisible(h) && TextOf(h) == f->title) {
        f->window = h;
        return FALSE;
    }
    return TRUE;
}

struct Child {
    const wchar_t* className;
    std::string text;  // "" for any
    HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND h, LPARAM wanted) {
    auto* c = reinterpret_cast<Child*>(wanted);
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (_wcsicmp(name, c->className) == 0 && (c->text.empty() || TextOf(h) == c->text)) {
        c->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND ChildOf(HWND window, const wchar_t* className, const std::string& text = "") {
    Child c{className, text};
    EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

// Waits up to the given seconds (60 by default) for the condition, looking
// every 50 ms.
template <typename Condition>
bool Eventually(Condition condition, int seconds = 60) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

// The processes the given one started, by their identifiers.
std::vector<DWORD> ChildrenOf(DWORD parent) {
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, L"ffmpeg.exe") == 0)
            children.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return children;
}

std::string Desktop() {
    wchar_t* path = nullptr;
    SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path);
    const std::string desktop = Utf8(path);
    CoTaskMemFree(path);
    return desktop;
}

// Starts the program in its own folder with the files on its command line
// and returns its main window. Each file in quotes, as Explorer passes them;
// one that starts with '/' is passed as typed, without them, after the '/'.
HWND StartProgram(const std::string& program, const std::vector<std::string>& files, PROCESS_INFORMATION& process) {
    std::wstring commandLine = L"\"" + Wide(program) + L"\"";
    for (const auto& file : files)
        commandLine += file.starts_with('/') ? L" " + Wide(file.substr(1)) : L" \"" + Wide(file) + L"\"";
    const std::wstring folder = Wide(program.substr(0, program.find_last_of('\\')));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return nullptr;
    Found found{process.dwProcessId};
    Eventually([&] {
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&found));
        return found.window != nullptr;
    });
    return found.window;
}

int Count(const std::string& text, const std::string& word) {
    int count = 0;
    for (std::size_t at = 0; (at = text.find(word, at)) != std::string::npos; ++at) ++count;
    return count;
}

struct Windows {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND h, LPARAM windows) {
    auto* w = reinterpret_cast<Windows*>(windows);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (pid == w->pid || (w->pid == 0 && wcscmp(name, L"ConsoleWindowClass") == 0)) w->found.push_back(h);
    return TRUE;
}

// The top-level windows of a process; of any process, for 0, those of consoles.
std::vector<HWND> TopLevelWindows(DWORD pid) {
    Windows windows{pid, {}};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&windows));
    return windows.found;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(folder / "Clipvane.exe", "");
        ASSERT_TRUE(CopyFileW(Wide(CLIPVANE_EXE).c_str(), Wide(folder / "Clipvane.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(Wide(FAKE_FFMPEG_PATH).c_str(), Wide(folder / "ffmpeg.exe").c_str(), FALSE));
        MakeFolder(folder / "Clips");
        a = folder / "Clips\\Sports day 2026.MTS";
        b = folder / "Clips\\Garden.MTS";
        WriteFile(a, "clip");
        WriteFile(b, "clip");
        for (const char* name : {"Sports day 2026.mp4", "Garden.mp4"})
            DeleteFileW(Wide(Desktop() + "\\" + std::string(name)).c_str());
    }
    void TearDown() override {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 1);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        for (const char* name : {"Sports day 2026.mp4", "Garden.mp4"})
            DeleteFileW(Wide(Desktop() + "\\" + std::string(name)).c_str());
    }

    // Starts the program with the two clips and returns its main window. The
    // second is typed as a script may: no quotes, forward slashes.
    HWND Start() {
        std::string typed = b;
        std::replace(typed.begin(), typed.end(), '\\', '/');
        return StartProgram(folder / "Clipvane.exe", {a, "/" + typed}, process);
    }
    bool Ended(DWORD milliseconds = 20000) {
        return WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
    }

    TestFolder folder;
    std::string a, b;
    PROCESS_INFORMATION process{};
};

TEST_F(EndToEnd, ConvertsTwoClipsOntoTheDesktopAndEndsByItsCloseBox) {
    ScopedVariable mode(L"FAKE_FFMPEG_MODE", L"ok"), slow(L"FAKE_FFMPEG_SECONDS", L"1");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND log = ChildOf(window, L"Edit");
    HWND start = ChildOf(window, L"Button", "START");
    ASSERT_TRUE(log && start);
    // Both listed in their long form.
    EXPECT_EQ(TextOf(log), a + "\r\n" + b + "\r\n**Number of file(s): 2");
    PostMessageW(start, BM_CLICK, 0, 0);
    // Where there are cores for it, the two convert at once.
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_TRUE(Eventually([&] { return ChildrenOf(process.dwProcessId).size() == 2; }));
    }
    ASSERT_TRUE(Eventually([&] { return TextOf(start) == "FINISH"; })) << TextOf(log);
    const std::string text = TextOf(log);
    EXPECT_EQ(Count(text, " SUCCESS\r\n"), 2) << text;
    EXPECT_EQ(ReadFile(Desktop() + "\\Sports day 2026.mp4").size(), 4096u);
    EXPECT_EQ(ReadFile(Desktop() + "\\Garden.mp4").size(), 4096u);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ended());
}

TEST_F(EndToEnd, AClipConvertsWithoutAConsoleWhileItsProgressWindowRisesBesideTheFocusedMainWindow) {
    // The stand-in holds each step of its progress until the test has seen it.
    const std::string gate = folder / "step";
    ScopedVariable stepped(L"FAKE_FFMPEG_GATE", Wide(gate).c_str());
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND start = ChildOf(window, L"Button", "START");
    ASSERT_NE(start, nullptr);
    PostMessageW(start, BM_CLICK, 0, 0);
    for (int step : {3, 6}) {
        HWND progress = nullptr, bar = nullptr;
        ASSERT_TRUE(Eventually([&] {
            for (HWND h : TopLevelWindows(process.dwProcessId))
                if (IsWindowVisible(h) && TextOf(h) == "Converting Sports day 2026.MTS") progress = h;
            bar = progress ? ChildOf(progress, L"msctls_progress32") : nullptr;
            return bar && SendMessageW(bar, PBM_GETPOS, 0, 0) == step * 10;
        })) << step;
        EXPECT_EQ(TextOf(ChildOf(progress, L"Static", "1 of 2")), "1 of 2");
        RECT main{}, beside{}, overlap{};
        GetWindowRect(window, &main);
        GetWindowRect(progress, &beside);
        EXPECT_FALSE(IntersectRect(&overlap, &main, &beside));
        EXPECT_EQ(GetForegroundWindow(), window);
        // b's converter may run beside a's; neither has a window.
        const std::vector<DWORD> converters = ChildrenOf(process.dwProcessId);
        ASSERT_FALSE(converters.empty());
        for (DWORD converter : converters) EXPECT_TRUE(TopLevelWindows(converter).empty());
        EXPECT_TRUE(TopLevelWindows(0).empty()) << "a console window";
        WriteFile(gate + std::to_string(step));
    }
    ASSERT_TRUE(Eventually([&] { return TextOf(start) == "FINISH"; }));
    EXPECT_EQ(Count(TextOf(ChildOf(window, L"Edit")), " SUCCESS\r\n"), 2);
}

TEST_F(EndToEnd, ClosingMidRunEndsTheProgramAndItsConverter) {
    ScopedVariable mode(L"FAKE_FFMPEG_MODE", L"hang");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND start = ChildOf(window, L"Button", "START");
    ASSERT_NE(start, nullptr);
    PostMessageW(start, BM_CLICK, 0, 0);
    std::vector<DWORD> converters;
    ASSERT_TRUE(Eventually([&] { return !(converters = ChildrenOf(process.dwProcessId)).empty(); }));
    HANDLE converter = OpenProcess(SYNCHRONIZE, FALSE, converters[0]);
    ASSERT_NE(converter, nullptr);
    EXPECT_EQ(TextOf(start), "Converting");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(WaitForSingleObject(converter, 20000), WAIT_OBJECT_0);
    CloseHandle(converter);
    EXPECT_FALSE(Exists(Desktop() + "\\Sports day 2026.mp4"));
}

TEST_F(EndToEnd, ADamagedClipEndsInFailAndASummaryNamingItAndWhy) {
    ScopedVariable mode(L"FAKE_FFMPEG_MODE", L"ok");
    WriteFile(b, "mode=damaged");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND log = ChildOf(window, L"Edit");
    HWND start = ChildOf(window, L"Button", "START");
    ASSERT_TRUE(log && start);
    PostMessageW(start, BM_CLICK, 0, 0);
    ASSERT_TRUE(Eventually([&] { return TextOf(start) == "FINISH"; })) << TextOf(log);
    const std::string text = TextOf(log);
    EXPECT_EQ(text.substr(text.find("\r\nNo. 2: ")), "\r\nNo. 2: " + b + "... FAIL\r\n**Finished**");

    Found summary{process.dwProcessId, nullptr, "Conversion problems"};
    ASSERT_TRUE(
        Eventually([&] { return !EnumWindows(FindMain, reinterpret_cast<LPARAM>(&summary)) && summary.window; }));
    EXPECT_NE(GetForegroundWindow(), summary.window);
    EXPECT_EQ(TextOf(ChildOf(summary.window, L"Static")), "1 of 2 clips could not be converted");
    // The converter's last line is read, and names the clip as damaged.
    const std::string list = TextOf(ChildOf(summary.window, L"RICHEDIT50W"));
    const std::size_t name = list.find("Garden.MTS");
    ASSERT_NE(name, std::string::npos) << list;
    const std::string reason = list.substr(list.find_first_not_of("\r\n", name + 10));
    EXPECT_EQ(reason.rfind("The clip is damaged or is not a video", 0), 0u) << list;
    PostMessageW(start, BM_CLICK, 0, 0);  // FINISH closes the summary with the program
    EXPECT_TRUE(Ended());
}

TEST_F(EndToEnd, InAJapaneseSessionItSpeaksJapaneseAndFinishCloses) {
    // Wine takes the interface language from the locale it was started in:
    // scripts/windows-test.sh runs this test again under LC_ALL=ja_JP.UTF-8.
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_JAPANESE) GTEST_SKIP() << "not a Japanese session";
    ScopedVariable mode(L"FAKE_FFMPEG_MODE", L"ok");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND log = ChildOf(window, L"Edit");
    HWND start = ChildOf(window, L"Button", "開始");
    ASSERT_TRUE(log && start) << TextOf(ChildOf(window, L"Button"));
    EXPECT_EQ(TextOf(log), a + "\r\n" + b + "\r\n**ファイル数: 2");
    PostMessageW(start, BM_CLICK, 0, 0);
    ASSERT_TRUE(Eventually([&] { return TextOf(start) == "終了"; })) << TextOf(log);
    EXPECT_EQ(Count(TextOf(log), " 成功\r\n"), 2) << TextOf(log);
    PostMessageW(start, BM_CLICK, 0, 0);
    EXPECT_TRUE(Ended());
}

// The Windows download as a user has it: the unpacked Clipvane.exe with
// its own ffmpeg.exe, on real camcorder clips of every kind it converts
// (each file in the clips folder). tests/release/release-test.sh
// names the folders and then checks the results on the Desktop, whose path
// this writes to the report file, with the log; bench/windows-batch.sh
// times the batch with it.
TEST(WindowsDownload, ConvertsRealClipsWithItsOwnConverter) {
    const char* program = std::getenv("CLIPVANE_RELEASE_PROGRAM");
    const char* clips = std::getenv("CLIPVANE_RELEASE_CLIPS");
    const char* report = std::getenv("CLIPVANE_RELEASE_REPORT");
    if (!program || !clips || !report) GTEST_SKIP() << "run by tests/release/release-test.sh";
    std::vector<std::string> files;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(Wide(std::string(clips) + "\\*").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(std::string(clips) + "\\" + Utf8(entry.cFileName));
    while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(files.begin(), files.end());

    PROCESS_INFORMATION process{};
    HWND window = StartProgram(program, files, process);
    ASSERT_NE(window, nullptr);
    HWND log = ChildOf(window, L"Edit");
    HWND start = ChildOf(window, L"Button", "START");
    ASSERT_TRUE(log && start);
    PostMessageW(start, BM_CLICK, 0, 0);
    const auto pressed = std::chrono::steady_clock::now();
    const bool finished = Eventually([&] { return TextOf(start) == "FINISH"; }, 600);
    // What bench/windows-batch.sh measures.
    std::printf("START to FINISH: %.2f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count());
    const std::string text = TextOf(log);
    wintest::WriteFile(report, Desktop() + "\n" + text);
    EXPECT_TRUE(finished) << text;
    EXPECT_EQ(Count(text, " SUCCESS\r\n"), static_cast<int>(files.size())) << text;
    EXPECT_EQ(Count(text, " FAIL\r\n"), 0) << text;
    // FINISH closes the program, as it does for a user.
    PostMessageW(start, BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

}  // namespace
