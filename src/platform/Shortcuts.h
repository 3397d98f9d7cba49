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
};

}  // namespace platform
