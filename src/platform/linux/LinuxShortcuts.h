#pragma once
#include <string>

#include "platform/Shortcuts.h"

namespace platform {

// Launchers are desktop entries: one on the desktop, one in the applications
// folder, where it makes the program an "Open With" choice for videos.
class LinuxShortcuts : public Shortcuts {
public:
    std::string FileName() override;
    std::string TargetName() override;
    std::string Create(const std::string& linkPath, const std::string& target,
                       const std::string& workingFolder, const std::string& description,
                       bool onDesktop) override;
    void FolderChanged(const std::string& folder) override;
};

// The value of a string key, escaped so a reader gets `text` back.
std::string DesktopEntryString(const std::string& text);
// The Exec value that runs `program` with the chosen files appended.
std::string DesktopEntryExec(const std::string& program);

}  // namespace platform
