#pragma once
#include <string>
#include <vector>

#include "platform/Environment.h"

namespace platform {

class LinuxEnvironment : public Environment {
public:
    // Keeps argv[1] onwards; argv[0] is the program itself.
    LinuxEnvironment(int argc, char** argv);
    explicit LinuxEnvironment(std::vector<std::string> arguments);

    std::string TemporaryFolder() override;
    // One raw token per argument: made absolute, and in double quotes when it
    // holds a space, so the intake treats it as one name.
    ProgramArguments Arguments() override;
    std::string ProgramFolder() override;

private:
    std::vector<std::string> arguments_;
};

}  // namespace platform
