#pragma once
#include <string>

namespace platform {

class Shortcuts {
public:
    virtual ~Shortcuts() = default;
    // The launcher's file name, the same in both places ("Clipvane.lnk" or
    // "Clipvane.desktop").
    virtual std::string FileName() = 0;
    // The executable a launcher points at, in the program folder.
    virtual std::string TargetName() = 0;
    // Writes a launcher file; "" on success, otherwise the reason.
    virtual std::string Create(const std::string& linkPath, const std::string& target,
                               const std::string& workingFolder, const std::string& description,
                               bool onDesktop) = 0;
    // Tells the system that launchers in this folder came or went, where it
    // keeps an index of them (Linux's "Open With" lists do).
    virtual void FolderChanged(const std::string& folder) { (void)folder; }
};

}  // namespace platform
