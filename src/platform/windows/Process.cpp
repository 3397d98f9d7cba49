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

// What the converter writes to its standard output and error goes into a
// file of its own in the temporary folder, which we read as it grows. Not a
// pipe: a pipe ends only when every process holding its writing end has let
// go of it, and a program that the converter started, or a console host
// (Wine's outlives its console program), may hold it long after the
// converter is gone. A file is complete the moment its writer has exited,
// and nothing has to wait for anyone else to close it. It removes itself
// once the last handle to it is closed, also when the program dies.
class OutputFile {
public:
    // False, with the system's error code, when no such file can be made.
    bool Create(DWORD& failure) {
        static unsigned made = 0;
        const std::wstring folder = TemporaryFolder();
        constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::wstring name = folder + L"\\.Clipvane-converter-" + std::to_wstring(GetCurrentProcessId()) +
                                      L"-" + std::to_wstring(++made) + L".log";
            reading_.reset(CreateFileW(name.c_str(), GENERIC_READ | DELETE, kShareAll, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
            if (reading_.get() == INVALID_HANDLE_VALUE) {
                reading_.release();
                failure = GetLastError();
                // One left by a power cut under the same name.
                if (failure == ERROR_FILE_EXISTS || failure == ERROR_ALREADY_EXISTS) continue;
                return false;
            }
            SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
            writing_.reset(CreateFileW(name.c_str(), GENERIC_WRITE, kShareAll, &inherited, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_TEMPORARY, nullptr));
            if (writing_.get() != INVALID_HANDLE_VALUE) return true;
            writing_.release();
            failure = GetLastError();
            reading_.reset();
            return false;
        }
        return false;
    }

    // The end the converter inherits; ours is closed once it has started.
    HANDLE Writing() const { return writing_.get(); }
    void CloseWriting() { writing_.reset(); }

    // Appends what was written since the last call to `head` until that
    // holds `headLimit` bytes, the rest to `tail`, of which only the last
    // `tailLimit` bytes are kept (and read): of output that nobody takes for
    // a long while the first and the last part are kept. True when a part
    // was left out.
    bool ReadNew(std::string& head, std::string& tail, std::size_t headLimit, std::size_t tailLimit) {
        bool skipped = false;
        char buffer[64 * 1024];
        const auto tailBytes = static_cast<long long>(tailLimit);
        LARGE_INTEGER size{};
        while (reading_ && GetFileSizeEx(reading_.get(), &size) && size.QuadPart > read_) {
            if (head.size() >= headLimit && size.QuadPart - read_ > tailBytes) {
                read_ = size.QuadPart - tailBytes;
                tail.clear();
                skipped = true;
            }
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(read_);
            at.OffsetHigh = static_cast<DWORD>(read_ >> 32);
            const auto wanted = static_cast<DWORD>(std::min<long long>(size.QuadPart - read_, sizeof buffer));
            DWORD got = 0;
            if (!ReadFile(reading_.get(), buffer, wanted, &got, &at) || got == 0) break;
            read_ += got;
            const std::size_t toHead = std::min<std::size_t>(got, headLimit - std::min(headLimit, head.size()));
            head.append(buffer, toHead);
            tail.append(buffer + toHead, got - toHead);
            if (tail.size() > tailLimit) {
                tail.erase(0, tail.size() - tailLimit);
                skipped = true;
            }
        }
        return skipped;
    }

private:
    // Where the converted files wait too: TEMP, else the system's own.
    static std::wstring TemporaryFolder() {
        std::wstring folder =
            GrowingBuffer([](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(L"TEMP", buffer, size); });
        if (folder.empty())
            folder = GrowingBuffer([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
        while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
        return folder;
    }

    UniqueHandle reading_, writing_;
    long long read_ = 0;  // bytes of the file read so far
};

// The converter runs without a window of its own; its output is read from
// its file without ever waiting for more.
class WindowsChild final : public ChildProcess {
public:
    WindowsChild(HANDLE process, DWORD id, UniqueHandle job, OutputFile output)
        : process_(process), id_(id), job_(std::move(job)), output_(std::move(output)) {}
    ~WindowsChild() override { Terminate(); }

    std::int32_t Id() const override { return static_cast<std::int32_t>(id_); }

    bool WaitFor(std::chrono::milliseconds limit) override {
        Drain();
        // By identifier, as the unload handler does; the handle we keep makes
        // sure the identifier still names our child.
        UniqueHandle h(OpenProcess(SYNCHRONIZE, FALSE, id_));
        if (!h) {
            Ended();
            return true;  // nothing that can be waited for
        }
        // In short steps, so that its output is passed on as it comes.
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            const DWORD step = static_cast<DWORD>(std::clamp<long long>(left.count(), 0, kWaitStepMs));
            const bool ended = WaitForSingleObject(h.get(), step) != WAIT_TIMEOUT;
            if (ended)
                Ended();
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

private:
    void Drain() {
        if (output_.ReadNew(text_, tail_, kKeptLimit, kTailLimit)) skipped_ = true;
    }

    // The converter's end is the clip's end. Everything it wrote is in its
    // file by then; whatever it left running (a console host, a program of
    // its own) is stopped, not waited for, so that nothing of this clip still
    // writes its output or its result beside the next one.
    void Ended() {
        if (job_ && !StillRunning(process_.get())) TerminateJobObject(job_.get(), ERROR_PROCESS_ABORTED);
        Drain();
    }

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
    OutputFile output_;
    std::string text_, tail_;
    bool skipped_ = false;  // output between text_ and tail_ was dropped
    bool terminated_ = false;
};

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

        OutputFile output;
        DWORD failure = 0;
        if (!output.Create(failure)) {
            error = Told(N_("cannot start %1: %2"), {program, ErrorText(failure)});
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
        startup.StartupInfo.hStdOutput = output.Writing();
        startup.StartupInfo.hStdError = output.Writing();
        // Only these two are inherited, whatever else of ours is inheritable.
        HANDLE handed[] = {output.Writing(), nothing.get()};
        HandleList only(handed, nothing ? 2 : 1);
        startup.lpAttributeList = only.get();
        PROCESS_INFORMATION started{};
        // With no console at all, so with no console window either: ffmpeg
        // needs none, and a hidden one would cost a console host process per
        // clip (under Wine a tenth of a second or more). A converter that
        // starts console programs of its own would show their windows; ffmpeg
        // starts none. Suspended until it is in the job, so it cannot start
        // anything outside it.
        const DWORD flags = CREATE_SUSPENDED | DETACHED_PROCESS | (only.get() ? EXTENDED_STARTUPINFO_PRESENT : 0);
        const BOOL created = CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags,
                                            nullptr, nullptr, &startup.StartupInfo, &started);
        failure = GetLastError();
        // Our copies of what it inherited.
        output.CloseWriting();
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
        return std::make_unique<WindowsChild>(started.hProcess, started.dwProcessId, std::move(job), std::move(output));
    }

private:
    std::string folder_;
};

}  // namespace

std::unique_ptr<ProcessLauncher> MakeProcessLauncher(std::string programFolder) {
    return std::make_unique<WindowsLauncher>(std::move(programFolder));
}

}  // namespace platform::windows
