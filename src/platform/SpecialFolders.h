#pragma once
#include <string>

namespace platform {

class SpecialFolders {
public:
    virtual ~SpecialFolders() = default;
    // The user's Desktop folder ("" when it cannot be determined).
    virtual std::string Desktop() = 0;
    // Where a launcher makes the program one of the file manager's
    // "Send To" / "Open With" choices.
    virtual std::string SendTo() = 0;
};

}  // namespace platform
