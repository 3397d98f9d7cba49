#include "LinuxFileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <future>
#include <system_error>
#include <vector>

#include "Paths.h"
#include "platform/Catalog.h"

namespace platform {

using posix_detail::Reason;

namespace {

// Big enough to copy at the disk's speed, small enough that the window is
// answered between two pieces even on a slow disk.
constexpr std::size_t kPiece = 4u << 20;
// Freeing this much of a file takes a few milliseconds.
constexpr off_t kFreedPiece = off_t{64} << 20;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // The close's own error counts for a written file.
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

class PosixFile : public OpenFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}

    std::uint64_t Size() override {
        struct stat st {};
        return fstat(fd_.get(), &st) == 0 && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override {
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = pread(fd_.get(), data + got, size - got, static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        return got;
    }
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override {
        // Overwrites only: a write past the end would grow the file.
        if (offset > Size() || size > Size() - offset) return false;
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd_.get(), data + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    Descriptor fd_;
};

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Removes the half-made copy however the copy ends, unless told it is done.
class PartialCopy {
public:
    explicit PartialCopy(const std::string& path) : path_(path) {}
    ~PartialCopy() {
        if (!done_) unlink(path_.c_str());
    }
    void Done() { done_ = true; }

private:
    const std::string& path_;
    bool done_ = false;
};

// Starts writing this piece to the disk and waits for the one before, so the
// disk is always busy and the final flush has little left to do.
void FlushAsWeGo(int fd, off_t previous, off_t start, off_t length, bool& rangesWork) {
    if (rangesWork) {
        if (sync_file_range(fd, start, length, SYNC_FILE_RANGE_WRITE) == 0 &&
            (previous == start ||
             sync_file_range(fd, previous, start - previous,
                             SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                 SYNC_FILE_RANGE_WAIT_AFTER) == 0))
            return;
        rangesWork = false;  // not on this file system: a flush per piece
    }
    fdatasync(fd);
}

// A file system that has no way to sync (some network and FUSE ones) says
// so; it writes back on its own time, and nothing more can be done there.
bool CannotSync(int error) { return error == EINVAL || error == ENOTSUP; }

// How often the caller hears from work that runs beside it: one step of
// its window's event pump.
constexpr std::chrono::milliseconds kBetween{15};

// Runs `work` (an errno, or 0) on a thread of its own, calling `between`
// every step meanwhile and once when it is done, so that the caller's
// window answers however long the disk takes; a journal commit may carry
// other programs' data too. Where no thread can be started, `work` runs
// here. Whatever `between` throws tells `work` to stop (it looks between
// its pieces) and reaches the caller once `work` has ended, so nothing it
// uses is gone while it runs.
int Aside(const std::function<int(const std::atomic<bool>& stop)>& work, const std::function<void()>& between) {
    std::atomic<bool> stop{false};
    std::future<int> done;
    try {
        done = std::async(std::launch::async, [&] { return work(stop); });
    } catch (const std::system_error&) {
        const int error = work(stop);
        between();
        return error;
    }
    try {
        while (done.wait_for(kBetween) != std::future_status::ready) between();
        between();
    } catch (...) {
        stop = true;
        done.wait();
        throw;
    }
    return done.get();
}

// A sync's errno, or 0, also where the file system has no way to sync.
int Synced(int (*sync)(int), int fd) {
    const int error = sync(fd) == 0 ? 0 : errno;
    return CannotSync(error) ? 0 : error;
}

std::string Outcome(int error) { return error == 0 ? std::string() : Reason(error); }

}  // namespace

std::unique_ptr<OpenFile> LinuxFileAccess::Open(const std::string& path, bool forWriting,
                                                std::string& error) {
    // Not held up by a named pipe, which is then refused as no file.
    const int fd = open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = Reason(errno);
        return nullptr;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = Told(N_("not a file"));
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

std::optional<UnixSeconds> LinuxFileAccess::ModificationTime(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return {};
    return static_cast<UnixSeconds>(st.st_mtim.tv_sec);
}

std::string LinuxFileAccess::SetModificationTime(const std::string& path, UnixSeconds time) {
    struct timespec times[2] {};
    times[0].tv_nsec = UTIME_OMIT;  // the access time stays
    times[1].tv_sec = static_cast<time_t>(time);
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) return Reason(errno);
    return {};
}

RenameOutcome LinuxFileAccess::Rename(const std::string& from, const std::string& to,
                                      std::string& error) {
    if (rename(from.c_str(), to.c_str()) == 0) return RenameOutcome::kRenamed;
    if (errno == EXDEV) return RenameOutcome::kOtherFileSystem;
    error = Reason(errno);
    return RenameOutcome::kFailed;
}

std::string LinuxFileAccess::CopyInPieces(const std::string& from, const std::string& to,
                                          const CopyProgress& between) {
    Descriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return Reason(errno);
    struct stat source {};
    if (fstat(in.get(), &source) != 0) return Reason(errno);
    if (!S_ISREG(source.st_mode)) return Told(N_("not a file"));
    const std::uint64_t total = static_cast<std::uint64_t>(source.st_size);

    // A fresh file: never through a link that someone left at that name.
    if (unlink(to.c_str()) != 0 && errno != ENOENT) return Reason(errno);
    Descriptor out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.get() < 0) return Reason(errno);
    PartialCopy partial(to);
    posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    // The pieces are read, written and pushed to the disk beside the
    // caller, which hears how far the copy has got.
    std::atomic<std::uint64_t> copied{0};
    const int error = Aside(
        [&](const std::atomic<bool>& stop) {
            std::vector<std::uint8_t> buffer(kPiece);
            off_t flushed = 0;
            bool rangesWork = true;
            while (!stop) {
                std::size_t got = 0;
                while (got < buffer.size()) {
                    const ssize_t n = read(in.get(), buffer.data() + got, buffer.size() - got);
                    if (n < 0 && errno == EINTR) continue;
                    if (n < 0) return errno;
                    if (n == 0) break;
                    got += static_cast<std::size_t>(n);
                }
                if (got == 0) return Synced(fdatasync, out.get());
                if (!WriteAll(out.get(), buffer.data(), got)) return errno != 0 ? errno : EIO;
                const off_t start = static_cast<off_t>(copied.load());
                copied += got;
                FlushAsWeGo(out.get(), flushed, start, static_cast<off_t>(got), rangesWork);
                flushed = start;
                // What is on the disk need not stay in memory.
                if (start > 0) posix_fadvise(in.get(), 0, start, POSIX_FADV_DONTNEED);
            }
            return ECANCELED;
        },
        [&] { between(copied, total); });
    if (std::string problem = Outcome(error); !problem.empty()) return problem;
    if (const int closed = out.Close()) return Reason(closed);
    partial.Done();
    return {};
}

std::string LinuxFileAccess::FlushToDisk(const std::string& path, const CopyProgress& between) {
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (file.get() < 0) return Reason(errno);
    struct stat st {};
    if (fstat(file.get(), &st) != 0) return Reason(errno);
    // The data goes out piece by piece, each waited for on its own, so that
    // the final sync has only the last piece and the file's times left; all
    // of it beside the caller.
    const std::uint64_t total = static_cast<std::uint64_t>(st.st_size);
    std::atomic<std::uint64_t> flushed{0};
    const int error = Aside(
        [&](const std::atomic<bool>& stop) {
            bool rangesWork = true;
            off_t previous = 0;
            for (off_t start = 0; rangesWork && start < st.st_size && !stop; start += static_cast<off_t>(kPiece)) {
                const off_t length = std::min(static_cast<off_t>(kPiece), st.st_size - start);
                FlushAsWeGo(file.get(), previous, start, length, rangesWork);
                previous = start;
                flushed = static_cast<std::uint64_t>(start + length);
            }
            if (stop) return ECANCELED;
            // fsync, not fdatasync: the recording date set as its time must last too.
            return Synced(fsync, file.get());
        },
        [&] { between(flushed, total); });
    return Outcome(error);
}

std::string LinuxFileAccess::FlushFolder(const std::string& folder, const CopyProgress& between) {
    Descriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0) return Reason(errno);
    return Outcome(
        Aside([&](const std::atomic<bool>&) { return Synced(fsync, directory.get()); }, [&] { between(0, 0); }));
}

std::string LinuxFileAccess::DeleteInPieces(const std::string& path, const CopyProgress& between) {
    // Freeing a large file's blocks at its last close can take long, so the
    // name goes first and the blocks follow from the end, piece by piece.
    Descriptor file(open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
    if (unlink(path.c_str()) != 0) return Reason(errno);
    struct stat st {};
    if (file.get() < 0 || fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const std::uint64_t total = static_cast<std::uint64_t>(st.st_size);
    for (off_t size = st.st_size; size > kFreedPiece;) {
        size -= kFreedPiece;
        if (ftruncate(file.get(), size) != 0) break;  // the close frees the rest
        between(total - static_cast<std::uint64_t>(size), total);
    }
    return {};
}

std::string LinuxFileAccess::WriteSmallFile(const std::string& path, const std::string& contents) {
    Descriptor file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (file.get() < 0) return Reason(errno);
    int error = 0;
    for (std::size_t done = 0; done < contents.size() && error == 0;) {
        const ssize_t n = write(file.get(), contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            error = n < 0 ? errno : EIO;
        else
            done += static_cast<std::size_t>(n);
    }
    if (const int closed = file.Close(); error == 0) error = closed;
    if (error != 0) unlink(path.c_str());
    return error == 0 ? std::string() : Reason(error);
}

}  // namespace platform
