#pragma once
#include <string>

#include "platform/FileSystem.h"

namespace platform {

class LinuxFileSystem : public FileSystem {
public:
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool IsNonEmptyFile(const std::string& path) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    std::string BaseName(const std::string& path) override;

    std::string DeleteFileForce(const std::string& path) override;
    std::string CopyFileReplacing(const std::string& from, const std::string& to) override;
    std::string MoveReplacing(const std::string& from, const std::string& to) override;
    std::string MoveToTrash(const std::string& path) override;
    std::string PrepareFolder(const std::string& path, bool privateToUser) override;
};

}  // namespace platform
