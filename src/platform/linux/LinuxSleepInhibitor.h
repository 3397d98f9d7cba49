#pragma once
#include <memory>
#include <string>

#include "platform/SleepInhibitor.h"

namespace platform {

// Asks the desktop portal to keep the session from suspending and idling;
// where no portal answers, asks logind ("sleep:idle", mode "block") and holds
// the descriptor it returns. Every call is asynchronous with a short timeout,
// and the answers arrive while the event loop runs: nothing ever waits.
class LinuxSleepInhibitor : public SleepInhibitor {
public:
    // The user's session bus and the system bus.
    LinuxSleepInhibitor();
    // The buses at these addresses; an empty address is a bus that is not there.
    LinuxSleepInhibitor(const std::string& sessionAddress, const std::string& systemAddress);
    ~LinuxSleepInhibitor() override;

    void Inhibit(const std::string& reason) override;
    void Release() override;

    // Who holds the system awake right now: "portal", "logind" or "".
    std::string Holder() const;

    struct Hold;
    struct Buses;

private:
    std::string sessionAddress_, systemAddress_;
    bool ownBuses_ = false;
    std::shared_ptr<Buses> buses_;
    std::shared_ptr<Hold> hold_;
};

}  // namespace platform
