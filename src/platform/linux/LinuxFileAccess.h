#pragma once
#include "platform/FileAccess.h"

namespace platform {

class LinuxFileAccess : public FileAccess {
public:
    std::unique_ptr<OpenFile> Open(const std::string& path, bool forWriting,
                                   std::string& error) override;
    std::optional<UnixSeconds> ModificationTime(const std::string& path) override;
    std::string SetModificationTime(const std::string& path, UnixSeconds time) override;
    RenameOutcome Rename(const std::string& from, const std::string& to,
                         std::string& error) override;
    std::string CopyInPieces(const std::string& from, const std::string& to,
                             const CopyProgress& between) override;
    std::string FlushToDisk(const std::string& path, const CopyProgress& between) override;
    std::string FlushFolder(const std::string& folder, const CopyProgress& between) override;
    std::string DeleteInPieces(const std::string& path, const CopyProgress& between) override;
    std::string WriteSmallFile(const std::string& path, const std::string& contents) override;
};

}  // namespace platform
