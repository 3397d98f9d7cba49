#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Bytes that can be read at any offset: an open file, or memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() = 0;
    // Copies up to `size` bytes at `offset` into `data` and returns how many:
    // fewer at the end, 0 past the end or when reading fails.
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) = 0;
};

// Bytes that can be overwritten in place; never grows what it writes into.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when not every byte could be written (also past the end).
    virtual bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) = 0;
};

class OpenFile : public ByteSource, public ByteSink {};

// Seconds since 1970-01-01 00:00 UTC.
using UnixSeconds = std::int64_t;

enum class RenameOutcome { kRenamed, kOtherFileSystem, kFailed };

// Called between the pieces of a copy with the bytes copied so far and the
// whole size; whatever it throws stops the copy and reaches the caller.
using CopyProgress = std::function<void(std::uint64_t copied, std::uint64_t total)>;

// A file's bytes and times, and moves that never block for long.
class FileAccess {
public:
    virtual ~FileAccess() = default;
    // nullptr and the reason in `error` when the file cannot be opened.
    virtual std::unique_ptr<OpenFile> Open(const std::string& path, bool forWriting,
                                           std::string& error) = 0;
    virtual std::optional<UnixSeconds> ModificationTime(const std::string& path) = 0;
    // "" on success, otherwise the reason.
    virtual std::string SetModificationTime(const std::string& path, UnixSeconds time) = 0;
    // Renames a file, replacing what `to` held, only when both names are on
    // one file system; it never falls back to copying.
    virtual RenameOutcome Rename(const std::string& from, const std::string& to,
                                 std::string& error) = 0;
    // Copies `from` to a new file `to` (replacing one there) in pieces of a
    // few MiB, pushing each piece to the disk as it goes so that no single
    // call waits for the whole file, with `between` called after each piece.
    // On failure, or when `between` throws, `to` is removed again; the
    // exception then goes on to the caller. "" on success.
    virtual std::string CopyInPieces(const std::string& from, const std::string& to,
                                     const CopyProgress& between) = 0;
    // Pushes a written file's data and its times to the disk, so that both
    // outlast a power cut from the moment this returns. It goes in pieces,
    // with `between` called after each, so that the caller's window keeps
    // answering however much is left to write; whatever `between` throws
    // stops the flush and reaches the caller. "" on success, also on a file
    // system that cannot sync a file (it writes back on its own time);
    // otherwise the reason, and the file is not known to be safe.
    virtual std::string FlushToDisk(const std::string& path, const CopyProgress& between) = 0;
    // Makes the latest changes of a folder's names (a file renamed into it)
    // outlast a power cut, with `between` called while it waits. "" on
    // success, also on a file system that cannot sync a folder; otherwise
    // the reason.
    virtual std::string FlushFolder(const std::string& folder, const CopyProgress& between) = 0;
    // Deletes a file; the name goes at once, and where freeing a large file
    // takes long the space is given back in pieces with `between` called
    // after each. "" on success.
    virtual std::string DeleteInPieces(const std::string& path, const CopyProgress& between) = 0;
    // Writes a small file of the program's own, replacing one there. "" on
    // success; otherwise the reason, and no file is left.
    virtual std::string WriteSmallFile(const std::string& path, const std::string& contents) = 0;
};

}  // namespace platform
