#include "Win32.h"
#include "WindowsPlatform.h"

namespace platform::windows {

namespace {

// Windows keeps the request per thread: the run's thread, the windows' own.
class WindowsSleepInhibitor final : public SleepInhibitor {
public:
    ~WindowsSleepInhibitor() override { Release(); }
    void Inhibit(const std::string& /*reason*/) override {
        if (held_) return;
        held_ = SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
    }
    void Release() override {
        if (!held_) return;
        SetThreadExecutionState(ES_CONTINUOUS);
        held_ = false;
    }

private:
    bool held_ = false;
};

}  // namespace

std::unique_ptr<SleepInhibitor> MakeSleepInhibitor() { return std::make_unique<WindowsSleepInhibitor>(); }

}  // namespace platform::windows
