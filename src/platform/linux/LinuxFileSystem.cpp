#include "LinuxFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <fstream>
#include <vector>

#include "Paths.h"
#include "platform/Catalog.h"

namespace platform {

using posix_detail::FolderOf;
using posix_detail::LastComponent;
using posix_detail::Reason;

namespace {

bool Stat(const std::string& path, struct stat& st) {
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

// The process umask without changing it: umask() can only be read by setting
// it, which would race with other threads creating files.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies the whole of `in` to `out`; 0 or the errno of the failure.
int CopyContents(int in, int out) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) return 0;
        if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) return errno;
    }
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// mkdir -p: every missing folder above `path`.
int CreateParents(const std::string& path, mode_t mode) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (part.empty() || part.back() == '/') continue;
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

}  // namespace

bool LinuxFileSystem::FileExists(const std::string& path) {
    struct stat st {};
    return Stat(path, st) && !S_ISDIR(st.st_mode);
}

bool LinuxFileSystem::FolderExists(const std::string& path) {
    struct stat st {};
    return Stat(path, st) && S_ISDIR(st.st_mode);
}

bool LinuxFileSystem::IsNonEmptyFile(const std::string& path) {
    struct stat st {};
    return Stat(path, st) && !S_ISDIR(st.st_mode) && st.st_size > 0;
}

bool LinuxFileSystem::SameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return Stat(a, first) && Stat(b, second) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::string LinuxFileSystem::BaseName(const std::string& path) {
    std::string name = LastComponent(path);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string LinuxFileSystem::DeleteFileForce(const std::string& path) {
    // unlink needs write access to the folder only; a read-only file goes too.
    if (unlink(path.c_str()) != 0) return Reason(errno);
    return {};
}

std::string LinuxFileSystem::CopyFileReplacing(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Reason(errno);
    struct stat source {};
    const int statError = fstat(in, &source) != 0 ? errno : S_ISDIR(source.st_mode) ? EISDIR : 0;
    if (statError) {
        close(in);
        return Reason(statError);
    }

    // A hidden name in the destination's own folder, so the final rename
    // stays on one file system; cut long names to fit the 255-byte limit.
    std::string name = LastComponent(to);
    if (name.size() > 240) name.resize(240);
    std::string temp = FolderOf(to) + "/." + name + ".XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        const int error = errno;
        close(in);
        return Reason(error);
    }

    int error = CopyContents(in, out);
    close(in);
    if (!error && fsync(out) != 0) error = errno;
    // mkstemp makes the file 0600; give it the mode a new file would have.
    if (!error && fchmod(out, 0666 & ~CurrentUmask()) != 0) error = errno;
    if (close(out) != 0 && !error) error = errno;
    if (!error && rename(temp.c_str(), to.c_str()) != 0) error = errno;
    if (error) {
        unlink(temp.c_str());
        return Reason(error);
    }
    // Make the rename itself durable; a failure here loses nothing already done.
    const int folder = open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return {};
}

std::string LinuxFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    if (rename(from.c_str(), to.c_str()) == 0) return {};
    if (errno != EXDEV) return Reason(errno);
    // Another file system after all: copy, and remove the original once the
    // copy stands in place.
    if (std::string why = CopyFileReplacing(from, to); !why.empty()) return why;
    if (unlink(from.c_str()) != 0) return Reason(errno);
    return {};
}

std::string LinuxFileSystem::MoveToTrash(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return Reason(errno);
    const QString name = QFile::decodeName(path.c_str());
    // Qt works with text names; a name that is not valid text would reach the
    // trash as a different file.
    if (QFile::encodeName(name).toStdString() != path)
        return "its name is not valid text, so it cannot go to the trash";
    // Qt falls back to the home trash without creating the folders above it,
    // and when that fails too it trashes into "files" and "info" under the
    // current folder. Make sure the home trash can be made first.
    const std::string data =
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).toStdString();
    if (data.empty() || data.front() != '/') return "there is no folder for the trash";
    // New XDG folders are the user's alone.
    if (const int error = CreateParents(data + "/Trash", 0700))
        return "cannot create the trash in " + data + ": " + Reason(error);
    if (mkdir((data + "/Trash").c_str(), 0700) != 0 && errno != EEXIST)
        return "cannot create the trash in " + data + ": " + Reason(errno);
    QFile file(name);
    if (!file.moveToTrash()) {
        const std::string why = file.errorString().toLocal8Bit().toStdString();
        return why.empty() ? "the trash did not take it" : why;
    }
    return {};
}

std::string LinuxFileSystem::PrepareFolder(const std::string& given, bool privateToUser) {
    if (given.empty()) return Told(N_("no folder given"));
    // A trailing slash would make lstat follow a link.
    const std::string path = WithoutTrailingSlashes(given);

    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) return Told(N_("cannot use %1: %2"), {path, Reason(errno)});
        if (const int error = CreateParents(path, 0777)) return Told(N_("cannot create %1: %2"), {path, Reason(error)});
        if (mkdir(path.c_str(), privateToUser ? 0700 : 0777) != 0 && errno != EEXIST)
            return Told(N_("cannot create %1: %2"), {path, Reason(errno)});
    }

    if (privateToUser) {
        // Another user could plant a link or folder here to catch our files.
        if (lstat(path.c_str(), &st) != 0) return Told(N_("cannot use %1: %2"), {path, Reason(errno)});
        if (S_ISLNK(st.st_mode)) return Told(N_("%1 is a link, not a folder"), {path});
        if (!S_ISDIR(st.st_mode)) return Told(N_("%1 is not a folder"), {path});
        if (st.st_uid != geteuid()) return Told(N_("%1 belongs to another user"), {path});
    } else {
        if (stat(path.c_str(), &st) != 0) return Told(N_("cannot use %1: %2"), {path, Reason(errno)});
        if (!S_ISDIR(st.st_mode)) return Told(N_("%1 is not a folder"), {path});
    }
    if (faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return Told(N_("cannot write into %1: %2"), {path, Reason(errno)});
    return {};
}

}  // namespace platform
