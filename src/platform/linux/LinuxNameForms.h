#pragma once
#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/NameForms.h"

namespace platform {

// Reads each folder once and remembers its entries, so looking up thousands
// of files of one folder costs one folder read.
class LinuxDirectoryLookup : public DirectoryLookup {
public:
    std::string EntryName(const std::string& path) override;

    // How many times a folder was read from disk; for tests.
    int FolderReads() const { return folderReads_; }

private:
    struct Folder {
        bool readable = false;
        std::unordered_set<std::string> names;
        // Built only when a name is not found as written.
        bool inodesBuilt = false;
        std::map<std::pair<dev_t, ino_t>, std::string> byInode;
    };

    Folder& Read(const std::string& folderPath);
    void BuildInodes(const std::string& folderPath, Folder& folder);

    std::unordered_map<std::string, Folder> folders_;
    int folderReads_ = 0;
};

class LinuxNameForms : public NameForms {
public:
    std::unique_ptr<DirectoryLookup> NewLookup() override;
    // Linux has no short names: the existing path itself, made absolute.
    std::string ShortPath(const std::string& path) override;
};

}  // namespace platform
