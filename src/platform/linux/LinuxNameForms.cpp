#include "LinuxNameForms.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Paths.h"

namespace platform {

namespace {

// "/a//" and "/a" are one folder; keep one cache entry for both.
std::string FolderKey(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

LinuxDirectoryLookup::Folder& LinuxDirectoryLookup::Read(const std::string& folderPath) {
    auto [it, added] = folders_.try_emplace(FolderKey(folderPath));
    Folder& folder = it->second;
    if (!added) return folder;

    ++folderReads_;
    DIR* dir = opendir(folderPath.c_str());
    if (!dir) return folder;
    folder.readable = true;
    while (const dirent* entry = readdir(dir)) folder.names.emplace(entry->d_name);
    closedir(dir);
    return folder;
}

void LinuxDirectoryLookup::BuildInodes(const std::string& folderPath, Folder& folder) {
    folder.inodesBuilt = true;
    const int fd = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    for (const auto& name : folder.names) {
        // The folder itself and its parent are never another spelling of an entry.
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            folder.byInode.emplace(std::make_pair(st.st_dev, st.st_ino), name);
    }
    close(fd);
}

std::string LinuxDirectoryLookup::EntryName(const std::string& path) {
    if (path.empty()) return {};
    const std::string name = posix_detail::LastComponent(path);
    if (name.empty()) return {};
    if (name == "." || name == "..") {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 ? name : std::string();
    }

    const std::string folderPath = posix_detail::FolderOf(path);
    Folder& folder = Read(folderPath);
    if (!folder.readable) return {};
    if (folder.names.count(name)) return name;

    // Not stored as written, yet it may still exist: a case-insensitive mount
    // or a short alias. Its stored name is the entry with the same inode.
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return {};
    if (!folder.inodesBuilt) BuildInodes(folderPath, folder);
    const auto found = folder.byInode.find({st.st_dev, st.st_ino});
    return found == folder.byInode.end() ? std::string() : found->second;
}

std::unique_ptr<DirectoryLookup> LinuxNameForms::NewLookup() {
    return std::make_unique<LinuxDirectoryLookup>();
}

std::string LinuxNameForms::ShortPath(const std::string& path) {
    if (path.empty()) return {};
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    return posix_detail::MakeAbsolute(path);
}

}  // namespace platform
