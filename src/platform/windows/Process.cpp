#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

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

class WindowsChild;

// The converter's output pipe is also drained by a thread timer every 100 ms.
// Its WM_TIMER is dispatched by whichever message loop runs on this thread,
// also the modal loops of a message box, the Setting window's Set button or
// the window being moved, which do not return to our pumps: the converter
// never stalls on a full pipe however long they last.
class OutputTimer {
public:
    static void Add(WindowsChild* child);
    static void Remove(WindowsChild* child);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static std::vector<WindowsChild*>& Children() {
        static std::vector<WindowsChild*> children;
        return children;
    }
    static inline UINT_PTR timer_ = 0;
};

// The converter runs without a window of its own; its standard error and
// output go into one pipe, which is read without ever blocking.
class WindowsChild final : public ChildProcess {
public:
    WindowsChild(HANDLE process, DWORD id, UniqueHandle job, UniqueHandle output)
        : process_(process), id_(id), job_(std::move(job)), output_(std::move(output)) {
        if (output_) OutputTimer::Add(this);
    }
    ~WindowsChild() override {
        OutputTimer::Remove(this);
        Terminate();
    }

    std::int32_t Id() const override { return static_cast<std::int32_t>(id_); }

    bool WaitFor(std::chrono::milliseconds limit) override {
        Drain();
        // By identifier, as the unload handler does; the handle we keep makes
        // sure the identifier still names our child.
        UniqueHandle h(OpenProcess(SYNCHRONIZE, FALSE, id_));
        if (!h) {
            DrainToEnd();
            return true;  // nothing that can be waited for
        }
        // In short steps, so that the pipe is emptied as it fills.
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            const DWORD step = static_cast<DWORD>(std::clamp<long long>(left.count(), 0, kWaitStepMs));
            const bool ended = WaitForSingleObject(h.get(), step) != WAIT_TIMEOUT;
            if (ended)
                DrainToEnd();
            else
                Drain();
            if (ended || left.count() <= kWaitStepMs) return ended;
        }
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

    ExitStatus Status() const override {
        using How = ExitStatus::How;
        if (StillRunning(process_.get())) return {};
        if (terminated_) return ExitStatus::Ended(How::kTerminated);
        DWORD code = 0;
        if (!GetExitCodeProcess(process_.get(), &code)) return ExitStatus::Ended(How::kUnknown);
        return ExitStatus::Exited(static_cast<std::uint32_t>(code));
    }

    std::string TakeOutput() override {
        Drain();
        std::string text = std::exchange(text_, std::string());
        if (skipped_) text += "\n[...]\n";
        text += std::exchange(tail_, std::string());
        skipped_ = false;
        return text;
    }

    // Reads what the pipe holds, never waiting for more. The pipe is always
    // emptied, so the converter never stalls on it; of output that nobody
    // takes for a long while, the first and the last part are kept.
    void Drain() {
        char buffer[64 * 1024];
        DWORD available = 0;
        while (output_ && PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            DWORD got = 0;
            if (!ReadFile(output_.get(), buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) || got == 0)
                return;
            const std::size_t head = std::min<std::size_t>(got, kKeptLimit - std::min(kKeptLimit, text_.size()));
            text_.append(buffer, head);
            tail_.append(buffer + head, got - head);
            if (tail_.size() > kTailLimit) {
                tail_.erase(0, tail_.size() - kTailLimit);
                skipped_ = true;
            }
        }
    }

    // Once the converter has ended, everything it wrote: its last lines may
    // reach the pipe after its end is seen (under Wine they do). Read until
    // the pipe breaks (no writer is left), or for at most a few seconds
    // should a program it started still hold the pipe.
    void DrainToEnd() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (output_) {
            DWORD available = 0;
            if (!PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &available, nullptr)) return;  // all read
            if (available > 0)
                Drain();
            else if (std::chrono::steady_clock::now() >= end)
                return;
            else
                Sleep(5);
        }
    }

private:
    static constexpr DWORD kReapLimitMs = 10000;
    static constexpr long long kWaitStepMs = 20;
    // Untaken output beyond this is kept only as its last kTailLimit bytes.
    static constexpr std::size_t kKeptLimit = 4 << 20;
    static constexpr std::size_t kTailLimit = 256 << 10;
    UniqueHandle process_;
    DWORD id_;
    // Closed with us, and by the system when the program ends however it
    // ends: either way it kills a converter that still runs.
    UniqueHandle job_;
    UniqueHandle output_;  // the pipe's reading end
    std::string text_, tail_;
    bool skipped_ = false;  // output between text_ and tail_ was dropped
    bool terminated_ = false;
};

void OutputTimer::Add(WindowsChild* child) {
    Children().push_back(child);
    if (!timer_) timer_ = SetTimer(nullptr, 0, 100, Tick);
}

void OutputTimer::Remove(WindowsChild* child) {
    auto& children = Children();
    children.erase(std::remove(children.begin(), children.end(), child), children.end());
    if (children.empty() && timer_) {
        KillTimer(nullptr, timer_);
        timer_ = 0;
    }
}

void CALLBACK OutputTimer::Tick(HWND, UINT, UINT_PTR, DWORD) {
    for (WindowsChild* child : Children()) child->Drain();
}

// The pipe the converter writes into: large, so that it holds minutes of
// output between two reads. Only the writing end is inherited.
bool NewOutputPipe(UniqueHandle& reading, UniqueHandle& writing) {
    constexpr DWORD kPipeBytes = 1 << 20;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!CreatePipe(&r, &w, &inherited, kPipeBytes)) return false;
    reading.reset(r);
    writing.reset(w);
    return SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

// The attribute that limits what a new process inherits to the given
// handles; none (and the usual inheritance) where the system lacks it.
class HandleList {
public:
    HandleList(HANDLE* handles, std::size_t count) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        buffer_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
        list_ = list;
        if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, count * sizeof(HANDLE),
                                       nullptr, nullptr)) {
            DeleteProcThreadAttributeList(list_);
            list_ = nullptr;
        }
    }
    ~HandleList() {
        if (list_) DeleteProcThreadAttributeList(list_);
    }
    HandleList(const HandleList&) = delete;
    HandleList& operator=(const HandleList&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

private:
    std::vector<char> buffer_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
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

        UniqueHandle reading, writing;
        if (!NewOutputPipe(reading, writing)) {
            error = Told(N_("cannot start %1: %2"), {program, ErrorText(GetLastError())});
            return nullptr;
        }
        // Nothing to read on its standard input: the converter never waits for a key.
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        UniqueHandle nothing(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                         OPEN_EXISTING, 0, nullptr));
        if (nothing.get() == INVALID_HANDLE_VALUE) nothing.release();
        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = nothing.get();
        startup.StartupInfo.hStdOutput = writing.get();
        startup.StartupInfo.hStdError = writing.get();
        // Only these two are inherited, whatever else of ours is inheritable.
        HANDLE handed[] = {writing.get(), nothing.get()};
        HandleList only(handed, nothing ? 2 : 1);
        startup.lpAttributeList = only.get();
        PROCESS_INFORMATION started{};
        // Without a console window of its own; suspended until it is in the
        // job, so it cannot start anything outside it.
        const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | (only.get() ? EXTENDED_STARTUPINFO_PRESENT : 0);
        const BOOL created = CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags,
                                            nullptr, nullptr, &startup.StartupInfo, &started);
        const DWORD failure = GetLastError();
        // Our copies of its ends: the pipe breaks when the converter ends.
        writing.reset();
        nothing.reset();
        if (!created) {
            error = Told(N_("cannot start %1: %2"), {program, ErrorText(failure)});
            return nullptr;
        }
        // Without the job (a parent job that forbids nesting) the converter
        // still runs, and Terminate still stops it.
        UniqueHandle job = NewKillOnCloseJob();
        if (job && !AssignProcessToJobObject(job.get(), started.hProcess)) job.reset();
        ResumeThread(started.hThread);
        CloseHandle(started.hThread);
        return std::make_unique<WindowsChild>(started.hProcess, started.dwProcessId, std::move(job),
                                              std::move(reading));
    }

private:
    std::string folder_;
};

}  // namespace

std::unique_ptr<ProcessLauncher> MakeProcessLauncher(std::string programFolder) {
    return std::make_unique<WindowsLauncher>(std::move(programFolder));
}

}  // namespace platform::windows
