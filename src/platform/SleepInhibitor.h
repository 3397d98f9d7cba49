#pragma once
#include <string>

namespace platform {

// Keeps the system from suspending and from going idle while work runs.
// Neither call waits long or fails: without a service to ask, nothing happens.
class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    // Asks to stay awake until Release; a second call while held does nothing.
    virtual void Inhibit(const std::string& reason) = 0;
    // Lets the system sleep again; harmless when nothing is held.
    virtual void Release() = 0;
};

}  // namespace platform
