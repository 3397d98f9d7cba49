#pragma once
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What the program was started with. Windows hands over one unsplit string that
// the intake tokenizes itself; Linux hands over the arguments already split, so
// the platform turns each one into a raw token the intake can take as it is.
struct ProgramArguments {
    std::string sCommandLine;
    std::optional<std::vector<std::string>> rawTokens;

    bool Empty() const { return rawTokens ? rawTokens->empty() : sCommandLine.empty(); }
};

class Environment {
public:
    virtual ~Environment() = default;
    // The folder the converter writes into; read once at start-up.
    virtual std::string TemporaryFolder() = 0;
    virtual ProgramArguments Arguments() = 0;
    // The folder that holds the running executable.
    virtual std::string ProgramFolder() = 0;
};

}  // namespace platform
