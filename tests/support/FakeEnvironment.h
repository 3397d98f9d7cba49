#pragma once
#include "platform/Environment.h"

namespace testing_support {

class FakeEnvironment : public platform::Environment {
public:
    std::string temp = "TEMPFOLDER";
    platform::ProgramArguments arguments;
    std::string programFolder;
    int argumentReads = 0;

    std::string TemporaryFolder() override { return temp; }
    platform::ProgramArguments Arguments() override {
        ++argumentReads;
        return arguments;
    }
    std::string ProgramFolder() override { return programFolder; }
};

}  // namespace testing_support
