// This test program doubles as the child that the process and environment
// tests start: when kChildVariable is set it does what the value says and
// exits before any test runs.
#include <cstdlib>

#include "WindowsTestSupport.h"
#include "platform/windows/WindowsPlatform.h"

namespace wintest {

namespace {

std::wstring Variable(const wchar_t* name) {
    wchar_t value[32768];
    const DWORD n = GetEnvironmentVariableW(name, value, 32768);
    return std::wstring(value, n < 32768 ? n : 0);
}

void Say(const std::string& text) {
    DWORD written = 0;
    ::WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

[[noreturn]] void RunChild(const std::wstring& mode) {
    const std::size_t colon = mode.find(L':');
    const std::wstring what = mode.substr(0, colon);
    const std::string rest = colon == std::wstring::npos ? "" : Utf8(mode.substr(colon + 1));
    // Children of children do nothing unless told again.
    SetEnvironmentVariableW(kChildVariable, nullptr);

    if (what == L"hang") {
        for (;;) Sleep(1000);
    }
    if (what == L"exit") {
        Say(Utf8(mode) + "\n");  // its last words, the moment before it ends
        ExitProcess(static_cast<UINT>(std::strtoul(rest.c_str(), nullptr, 0)));
    }
    if (what == L"argv") {
        // Read back the way a C program reads its arguments.
        int count = 0;
        wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
        std::string lines;
        for (int i = 1; i < count; ++i) lines += "[" + Utf8(argv[i]) + "]\n";
        LocalFree(argv);
        WriteFile(rest, lines);
        ExitProcess(0);
    }
    if (what == L"report") {
        auto environment = platform::windows::MakeEnvironment();
        const auto arguments = environment->Arguments();
        WriteFile(rest, arguments.sCommandLine + "\n" + environment->ProgramFolder() + "\n" +
                            (arguments.rawTokens ? "tokens" : "no tokens"));
        ExitProcess(0);
    }
    if (what == L"orphan") {
        // Starts a converter stand-in, tells its id, then dies without any
        // clean-up, as a crash would.
        SetEnvironmentVariableW(kChildVariable, L"hang");
        std::string error;
        auto launcher = platform::windows::MakeProcessLauncher("");
        auto child = launcher->Start(ThisProgram(), {}, error);
        WriteFile(rest, child ? std::to_string(child->Id()) : "0");
        TerminateProcess(GetCurrentProcess(), 9);
    }
    if (what == L"leave") {
        // Leaves a program running that holds its output, tells its id, and exits.
        SetEnvironmentVariableW(kChildVariable, L"hang");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION left{};
        std::wstring commandLine = L"\"" + Wide(ThisProgram()) + L"\"";
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &left);
        WriteFile(rest, std::to_string(left.dwProcessId));
        Say("leaving\n");
        ExitProcess(3);
    }
    ExitProcess(99);
}

[[maybe_unused]] const bool kIsChild = [] {
    const std::wstring mode = Variable(kChildVariable);
    if (!mode.empty()) RunChild(mode);
    return false;
}();

}  // namespace

}  // namespace wintest
