#include <gtest/gtest.h>

#include "WindowsTestSupport.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

using platform::windows::ArgumentPart;
using namespace wintest;

struct CommandLineCase {
    const char* name;
    const wchar_t* commandLine;
    const wchar_t* argumentPart;
};

// CTest lists each case by its name, not by its bytes.
void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

class ArgumentPartTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(ArgumentPartTest, IsWhatFollowsTheProgramPathUnchanged) {
    EXPECT_EQ(ArgumentPart(GetParam().commandLine), GetParam().argumentPart);
}

INSTANTIATE_TEST_SUITE_P(
    AsWindowsWritesThem, ArgumentPartTest,
    testing::Values(
        // Explorer's Send To: a quoted program path with spaces, quoted files.
        CommandLineCase{"SendToQuoted",
                        LR"("C:\Program Files\Clipvane\Clipvane.exe" "D:\a b.MTS" C:\c.MTS)",
                        LR"("D:\a b.MTS" C:\c.MTS)"},
        CommandLineCase{"Unquoted", LR"(C:\Tools\Clipvane.exe C:\V\BIRTHD~1.MTS)",
                        LR"(C:\V\BIRTHD~1.MTS)"},
        CommandLineCase{"ProgramOnly", LR"(Clipvane.exe)", L""},
        CommandLineCase{"QuotedProgramOnly", LR"("C:\Program Files\Clipvane\Clipvane.exe")", L""},
        CommandLineCase{"Empty", L"", L""},
        // The blanks after the program go; the rest, trailing ones too, stays.
        CommandLineCase{"BlanksAfterProgram", L"Clipvane.exe \t  a.MTS  b.MTS  ",
                        L"a.MTS  b.MTS  "},
        // A quote inside the program path toggles; blanks inside stay part of it.
        CommandLineCase{"QuoteInsideProgram", LR"("C:\Program Files"\Clipvane\Clipvane.exe x.MTS)",
                        L"x.MTS"},
        // The tokenizer sees doubled and unterminated quotes as written.
        CommandLineCase{"QuotesKeptAsWritten", LR"(Clipvane.exe "a""b.MTS" "open)",
                        LR"("a""b.MTS" "open)"},
        CommandLineCase{"NonAscii", L"C:\\Vid\u00e9os\\Clipvane.exe \"D:\\\u65e5\u672c.MTS\"",
                        L"\"D:\\\u65e5\u672c.MTS\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowsEnvironment, TemporaryFolderIsTempInUtf8HoweverLong) {
    const std::wstring longValue = L"C:\\" + std::wstring(400, L'x');
    const struct {
        const wchar_t* value;
        std::string expected;
    } cases[] = {
        {L"C:\\Temp", "C:\\Temp"},
        {L"C:\\Users\\J\u00fcrgen\\\u65e5\u672c\\Temp",
         "C:\\Users\\J\u00fcrgen\\\u65e5\u672c\\Temp"},
        {longValue.c_str(), "C:\\" + std::string(400, 'x')},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        ScopedVariable temp(L"TEMP", c.value);
        EXPECT_EQ(platform::windows::MakeEnvironment()->TemporaryFolder(), c.expected);
    }
}

// Runs a copy of this program from `folder` with the command line given, and
// returns what its Environment reported.
std::string ReportFrom(const std::string& folder, const std::wstring& arguments) {
    const std::string program = folder + "\\report child.exe";
    const std::string report = folder + "\\report.txt";
    EXPECT_TRUE(CopyFileW(Wide(ThisProgram()).c_str(), Wide(program).c_str(), FALSE));
    std::wstring commandLine = L"\"" + Wide(program) + L"\" " + arguments;
    ScopedVariable mode(kChildVariable, (L"report:" + Wide(report)).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return "<not started>";
    WaitForSingleObject(started.hProcess, 30000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return ReadFile(report);
}

TEST(WindowsEnvironment, ArgumentsAndProgramFolderOfARealProcess) {
    TestFolder root;
    const std::string folder = root / "Pr\u00f6gram \u65e5\u672c";
    MakeFolder(folder);
    // Unsplit and untouched: the intake's tokenizer does the splitting.
    EXPECT_EQ(ReportFrom(folder, L"\"D:\\Vid\u00e9os\\a b.MTS\"  C:\\x.MTS"),
              "\"D:\\Vid\u00e9os\\a b.MTS\"  C:\\x.MTS\n" + folder + "\nno tokens");
}

}  // namespace
