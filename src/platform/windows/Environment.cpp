#include "Win32.h"
#include "WindowsPlatform.h"

namespace platform::windows {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

class WindowsEnvironment final : public Environment {
public:
    std::string TemporaryFolder() override {
        return Utf8(GrowingBuffer([](wchar_t* buffer, DWORD size) {
            return GetEnvironmentVariableW(L"TEMP", buffer, size);
        }));
    }

    ProgramArguments Arguments() override {
        // Windows hands over one string; the intake splits it itself.
        ProgramArguments arguments;
        arguments.sCommandLine = Utf8(ArgumentPart(GetCommandLineW()));
        return arguments;
    }

    std::string ProgramFolder() override {
        // A truncated result fills the buffer exactly, so grow until it doesn't.
        const std::wstring path = GrowingBuffer([](wchar_t* buffer, DWORD size) {
            const DWORD n = GetModuleFileNameW(nullptr, buffer, size);
            return n >= size ? size * 2 : n;
        });
        const std::size_t last = path.find_last_of(L"\\/");
        return last == std::wstring::npos ? std::string() : Utf8(path.substr(0, last));
    }
};

}  // namespace

std::wstring ArgumentPart(std::wstring_view commandLine) {
    // The program's path ends at the first blank outside quotes, as the C
    // runtime reads it; a quoted path may hold blanks but never a quote.
    std::size_t i = 0;
    bool quoted = false;
    for (; i < commandLine.size(); ++i) {
        if (commandLine[i] == L'"')
            quoted = !quoted;
        else if (!quoted && IsBlank(commandLine[i]))
            break;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return std::wstring(commandLine.substr(i));
}

std::unique_ptr<Environment> MakeEnvironment() { return std::make_unique<WindowsEnvironment>(); }

}  // namespace platform::windows
