#pragma once
#include <string>

namespace platform {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True only for a file (not a folder) at the path.
    virtual bool FileExists(const std::string& path) = 0;
    // True only for an existing folder; a link to a folder counts.
    virtual bool FolderExists(const std::string& path) = 0;
    virtual bool IsNonEmptyFile(const std::string& path) = 0;
    // Whether two paths name the same existing file.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // The last component without its last extension; the file need not exist.
    virtual std::string BaseName(const std::string& path) = 0;

    // Each returns "" on success, otherwise the reason in plain words.
    // Deletes a file even when it is read-only.
    virtual std::string DeleteFileForce(const std::string& path) = 0;
    // Copies to a temporary name beside the destination, then renames it over
    // the destination, so a failed copy leaves neither a partial file nor a
    // damaged destination.
    virtual std::string CopyFileReplacing(const std::string& from, const std::string& to) = 0;
    // Renames a file within one folder, replacing what the new name held.
    virtual std::string MoveReplacing(const std::string& from, const std::string& to) = 0;
    // Moves a file to the user's trash, where it can be restored.
    virtual std::string MoveToTrash(const std::string& path) = 0;
    // Creates the folder if needed (private to the user when it makes it) and
    // checks that it is a folder the program may write into.
    virtual std::string PrepareFolder(const std::string& path, bool privateToUser) = 0;
};

}  // namespace platform
