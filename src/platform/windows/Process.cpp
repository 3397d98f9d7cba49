#include <cstdio>

#include "Win32.h"
#include "WindowsPlatform.h"
#include "platform/Catalog.h"

namespace platform::windows {

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h) CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

bool StillRunning(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

// One argument as the C runtime's parser reads it back: quoted only when it
// is empty or holds a blank or a quote.
std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    // Backslashes are literal except before a quote, where they are doubled.
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');  // before the closing quote
    quoted += L'"';
    return quoted;
}

// The converter shows a console window of its own, so there is no pipe and
// no output to collect here.
class WindowsChild final : public ChildProcess {
public:
    WindowsChild(HANDLE process, DWORD id, UniqueHandle job)
        : process_(process), id_(id), job_(std::move(job)) {}
    ~WindowsChild() override { Terminate(); }

    std::int32_t Id() const override { return static_cast<std::int32_t>(id_); }

    bool WaitFor(std::chrono::milliseconds limit) override {
        // By identifier, as the unload handler does; the handle we keep makes
        // sure the identifier still names our child.
        UniqueHandle h(OpenProcess(SYNCHRONIZE, FALSE, id_));
        if (!h) return true;  // nothing that can be waited for
        return WaitForSingleObject(h.get(), static_cast<DWORD>(limit.count())) != WAIT_TIMEOUT;
    }

    void Terminate() override {
        if (!StillRunning(process_.get())) return;
        terminated_ = true;  // exit code 0 then means nothing
        UniqueHandle h(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id_));
        TerminateProcess(h ? h.get() : process_.get(), 0);
        WaitForSingleObject(process_.get(), kReapLimitMs);
    }

    bool Succeeded() const override {
        DWORD code = 1;
        return !terminated_ && !StillRunning(process_.get()) &&
               GetExitCodeProcess(process_.get(), &code) && code == 0;
    }

    std::string Outcome() const override {
        if (StillRunning(process_.get())) return "still running";
        if (terminated_) return "terminated";
        DWORD code = 0;
        if (!GetExitCodeProcess(process_.get(), &code)) return "unknown exit";
        // Crashes end with an exception code, which reads better in hexadecimal.
        char text[32];
        std::snprintf(text, sizeof text,
                      code >= 0xC0000000u ? "exit code 0x%08lX" : "exit code %lu",
                      static_cast<unsigned long>(code));
        return text;
    }

    std::string TakeOutput() override { return {}; }

private:
    static constexpr DWORD kReapLimitMs = 10000;
    UniqueHandle process_;
    DWORD id_;
    // Closed with us, and by the system when the program ends however it
    // ends: either way it kills a converter that still runs.
    UniqueHandle job_;
    bool terminated_ = false;
};

UniqueHandle NewKillOnCloseJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    UniqueHandle owned(job);
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits))
        return nullptr;
    return owned;
}

class WindowsLauncher final : public ProcessLauncher {
public:
    explicit WindowsLauncher(std::string programFolder) : folder_(std::move(programFolder)) {}

    std::string FindConverter(std::vector<std::string>& searched) override {
        // Beside the program only: no search of PATH on Windows.
        const std::string path = folder_ + "\\ffmpeg.exe";
        searched.push_back(path);
        return IsFile(Attributes(path)) ? path : std::string();
    }

    std::unique_ptr<ChildProcess> Start(const std::string& program,
                                        const std::vector<std::string>& arguments,
                                        std::string& error) override {
        const std::wstring application = Wide(program);
        std::wstring commandLine = L"\"" + application + L"\"";
        for (const auto& argument : arguments) commandLine += L" " + QuoteArgument(Wide(argument));

        // Shown but not activated: the main window keeps the focus.
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNOACTIVATE;
        PROCESS_INFORMATION started{};
        // Suspended until it is in the job, so it cannot start anything outside it.
        if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                            CREATE_SUSPENDED, nullptr, nullptr, &startup, &started)) {
            error = Told(N_("cannot start %1: %2"), {program, ErrorText(GetLastError())});
            return nullptr;
        }
        // Without the job (a parent job that forbids nesting) the converter
        // still runs, and Terminate still stops it.
        UniqueHandle job = NewKillOnCloseJob();
        if (job && !AssignProcessToJobObject(job.get(), started.hProcess)) job.reset();
        ResumeThread(started.hThread);
        CloseHandle(started.hThread);
        return std::make_unique<WindowsChild>(started.hProcess, started.dwProcessId,
                                              std::move(job));
    }

private:
    std::string folder_;
};

}  // namespace

std::unique_ptr<ProcessLauncher> MakeProcessLauncher(std::string programFolder) {
    return std::make_unique<WindowsLauncher>(std::move(programFolder));
}

}  // namespace platform::windows
