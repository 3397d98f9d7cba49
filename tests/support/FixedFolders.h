#pragma once
#include "platform/SpecialFolders.h"

namespace testing_support {

// Desktop and "Send To" folders a test chooses.
class FixedFolders : public platform::SpecialFolders {
public:
    std::string desktop, sendTo;
    std::string Desktop() override { return desktop; }
    std::string SendTo() override { return sendTo; }
};

}  // namespace testing_support
