#pragma once
#include <string>

#include "platform/SpecialFolders.h"

namespace platform {

// The XDG folders, as the desktop itself reads them (user-dirs.dirs,
// XDG_DATA_HOME); read anew on every call.
class LinuxSpecialFolders : public SpecialFolders {
public:
    std::string Desktop() override;
    // The applications folder: a launcher there lists the program under
    // "Open With" for the video types it names.
    std::string SendTo() override;
};

}  // namespace platform
