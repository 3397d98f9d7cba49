#pragma once
#include <memory>
#include <string>

namespace platform {

// One directory look-up: the name, as stored on disk, of the entry that a path
// names (hidden and system entries and folders included), or "" when there is
// none. An instance may remember folders it has read, so keep one per intake.
class DirectoryLookup {
public:
    virtual ~DirectoryLookup() = default;
    virtual std::string EntryName(const std::string& path) = 0;
};

class NameForms {
public:
    virtual ~NameForms() = default;
    virtual std::unique_ptr<DirectoryLookup> NewLookup() = 0;
    // The form of an existing path that is handed to the converter; "" when
    // the path does not exist. Never changes its argument.
    virtual std::string ShortPath(const std::string& path) = 0;
};

}  // namespace platform
