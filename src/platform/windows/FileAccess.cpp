#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

#include "Win32.h"
#include "WindowsPlatform.h"
#include "platform/Catalog.h"

namespace platform::windows {

namespace {

// FILETIME counts 100-ns steps from 1601-01-01 UTC.
constexpr std::int64_t kUnixEpochIn1601Seconds = 11644473600;
constexpr std::int64_t kTicksPerSecond = 10000000;

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE release() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

class WindowsFile final : public OpenFile {
public:
    explicit WindowsFile(HANDLE h) : h_(h) {}

    std::uint64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(h_.get(), &size) && size.QuadPart > 0
                   ? static_cast<std::uint64_t>(size.QuadPart)
                   : 0;
    }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override {
        std::size_t got = 0;
        while (got < size) {
            OVERLAPPED at = At(offset + got);
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - got, 1u << 30));
            DWORD n = 0;
            if (!ReadFile(h_.get(), data + got, want, &n, &at) || n == 0) break;
            got += n;
        }
        return got;
    }
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override {
        // Overwrites only: a write past the end would grow the file.
        const std::uint64_t length = Size();
        if (offset > length || size > length - offset) return false;
        std::size_t done = 0;
        while (done < size) {
            OVERLAPPED at = At(offset + done);
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            DWORD n = 0;
            if (!WriteFile(h_.get(), data + done, want, &n, &at) || n == 0) return false;
            done += n;
        }
        return true;
    }

private:
    static OVERLAPPED At(std::uint64_t offset) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        return at;
    }
    Handle h_;
};

// The answers of a file system that has no way to flush: it writes back on
// its own time, and nothing more can be done there.
std::string ErrorUnlessCannotSync(DWORD code) {
    if (code == ERROR_SUCCESS || code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED) return {};
    return ErrorText(code);
}

// What a flush thread uses, its own handle to the file included: it stays
// until the thread is done with it, whatever becomes of the caller's wait.
struct FlushJob {
    HANDLE file;
    DWORD error = ERROR_SUCCESS;
};

DWORD WINAPI RunFlushJob(LPVOID data) {
    const std::unique_ptr<std::shared_ptr<FlushJob>> handed(static_cast<std::shared_ptr<FlushJob>*>(data));
    FlushJob& job = **handed;
    if (!FlushFileBuffers(job.file)) job.error = GetLastError();
    CloseHandle(job.file);
    return 0;
}

// Flushes `file` on a thread of its own, calling `waiting` every pump step
// until it is done and once after; the flush's error code. Where no thread
// can be started, the flush runs here. Whatever `waiting` throws reaches the
// caller once the flush has ended. A wait that fails says so, and the
// flush goes on with what it owns.
template <typename Waiting>
DWORD FlushAside(HANDLE file, Waiting waiting) {
    HANDLE own = nullptr;
    auto inPlace = [&] {
        const DWORD error = FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
        waiting();
        return error;
    };
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return inPlace();
    auto job = std::make_shared<FlushJob>(FlushJob{own});
    auto* handed = new std::shared_ptr<FlushJob>(job);
    Handle thread(CreateThread(nullptr, 0, RunFlushJob, handed, 0, nullptr));
    if (!thread.valid()) {
        delete handed;
        CloseHandle(own);
        return inPlace();
    }
    for (;;) {
        const DWORD waited = WaitForSingleObject(thread.get(), 15);
        if (waited != WAIT_TIMEOUT && waited != WAIT_OBJECT_0) {
            const DWORD error = GetLastError();
            return error != ERROR_SUCCESS ? error : ERROR_INVALID_HANDLE;
        }
        try {
            waiting();
        } catch (...) {
            WaitForSingleObject(thread.get(), INFINITE);
            throw;
        }
        if (waited == WAIT_OBJECT_0) return job->error;
    }
}

class WindowsFileAccess final : public FileAccess {
public:
    std::unique_ptr<OpenFile> Open(const std::string& path, bool forWriting,
                                   std::string& error) override {
        const DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0);
        HANDLE h = CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            error = ErrorText(GetLastError());
            return nullptr;
        }
        if (GetFileType(h) != FILE_TYPE_DISK) {
            CloseHandle(h);
            error = Told(N_("not a file"));
            return nullptr;
        }
        return std::make_unique<WindowsFile>(h);
    }

    std::string FlushToDisk(const std::string& path, const CopyProgress& between) override {
        // Shared every way: a virus scanner looking at the new file must not make it fail.
        Handle h(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.valid()) return ErrorText(GetLastError());
        LARGE_INTEGER size;
        const std::uint64_t total = GetFileSizeEx(h.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
        // FlushFileBuffers (data and times alike) cannot be split, so it runs
        // on a thread of its own while the caller's window is answered.
        return ErrorUnlessCannotSync(FlushAside(h.get(), [&] { between(0, total); }));
    }

    // Windows documents no flush of a folder as such. This relies on
    // FlushFileBuffers on a handle to the folder (opened for writing with
    // FILE_FLAG_BACKUP_SEMANTICS), which Windows' own file systems answer by
    // writing the folder's entries, as for a file its data and metadata; a
    // file system that has no such flush says so and is left to itself.
    std::string FlushFolder(const std::string& folder, const CopyProgress& between) override {
        Handle h(CreateFileW(Wide(folder).c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!h.valid()) return ErrorUnlessCannotSync(GetLastError());
        return ErrorUnlessCannotSync(FlushAside(h.get(), [&] { between(0, 0); }));
    }

    std::optional<UnixSeconds> ModificationTime(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (path.empty() || !GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
            return {};
        const std::int64_t ticks =
            static_cast<std::int64_t>(std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 |
                                      data.ftLastWriteTime.dwLowDateTime);
        return ticks / kTicksPerSecond - kUnixEpochIn1601Seconds;
    }

    std::string SetModificationTime(const std::string& path, UnixSeconds time) override {
        if (time < -kUnixEpochIn1601Seconds) return "the time lies before 1601";
        Handle h(CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!h.valid()) return ErrorText(GetLastError());
        const std::uint64_t ticks =
            static_cast<std::uint64_t>(time + kUnixEpochIn1601Seconds) * kTicksPerSecond;
        FILETIME written;
        written.dwLowDateTime = static_cast<DWORD>(ticks);
        written.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        if (!SetFileTime(h.get(), nullptr, nullptr, &written)) return ErrorText(GetLastError());
        return {};
    }

    RenameOutcome Rename(const std::string& from, const std::string& to,
                         std::string& error) override {
        // No MOVEFILE_COPY_ALLOWED: another volume is the caller's to copy to.
        if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING))
            return RenameOutcome::kRenamed;
        const DWORD code = GetLastError();
        if (code == ERROR_NOT_SAME_DEVICE) return RenameOutcome::kOtherFileSystem;
        error = ErrorText(code);
        return RenameOutcome::kFailed;
    }

    std::string CopyInPieces(const std::string& from, const std::string& to,
                             const CopyProgress& between) override {
        // Our own loop rather than CopyFileExW: its progress routine is not
        // called everywhere (Wine never calls it), and a caller's exception
        // must not cross the system's frames. Write-through pushes each piece
        // to the disk as it goes, so no single call waits for the whole file.
        const std::wstring destination = Wide(to);
        Handle in(CreateFileW(Wide(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in.valid()) return ErrorText(GetLastError());
        LARGE_INTEGER size;
        if (!GetFileSizeEx(in.get(), &size)) return ErrorText(GetLastError());
        const DWORD attributes = GetFileAttributesW(destination.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(destination.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        std::string problem;
        {
            Handle out(CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
            if (!out.valid()) return ErrorText(GetLastError());
            std::vector<std::uint8_t> buffer(4u << 20);
            std::uint64_t copied = 0;
            try {
                for (;;) {
                    DWORD got = 0;
                    if (!ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
                        problem = ErrorText(GetLastError());
                        break;
                    }
                    if (got == 0) break;
                    DWORD written = 0;
                    if (!WriteFile(out.get(), buffer.data(), got, &written, nullptr) || written != got) {
                        problem = ErrorText(GetLastError());
                        break;
                    }
                    copied += got;
                    between(copied, static_cast<std::uint64_t>(size.QuadPart));
                }
                // The whole copy is flushed here: beside the window, which goes on answering.
                if (problem.empty())
                    problem = ErrorUnlessCannotSync(
                        FlushAside(out.get(), [&] { between(copied, static_cast<std::uint64_t>(size.QuadPart)); }));
            } catch (...) {
                CloseHandle(out.release());
                DeleteFileW(destination.c_str());
                throw;
            }
        }
        if (!problem.empty()) DeleteFileW(destination.c_str());
        return problem;
    }

    std::string DeleteInPieces(const std::string& path, const CopyProgress&) override {
        // The file system frees a large file quickly here.
        const std::wstring wide = Wide(path);
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        if (!DeleteFileW(wide.c_str())) return ErrorText(GetLastError());
        return {};
    }

    std::string WriteSmallFile(const std::string& path, const std::string& contents) override {
        const std::wstring wide = Wide(path);
        DWORD error = ERROR_SUCCESS;
        {
            Handle h(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!h.valid()) return ErrorText(GetLastError());
            DWORD written = 0;
            if (!WriteFile(h.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr))
                error = GetLastError();
            else if (written != contents.size())
                error = ERROR_WRITE_FAULT;
        }
        if (error == ERROR_SUCCESS) return {};
        DeleteFileW(wide.c_str());
        return ErrorText(error);
    }
};

}  // namespace

std::unique_ptr<FileAccess> MakeFileAccess() { return std::make_unique<WindowsFileAccess>(); }

}  // namespace platform::windows
