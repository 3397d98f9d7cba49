#include <gtest/gtest.h>

#include "WindowsTestSupport.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

// The thread's execution state; asking for the system once (without
// ES_CONTINUOUS) reads it without changing what is held.
EXECUTION_STATE CurrentState() { return SetThreadExecutionState(ES_SYSTEM_REQUIRED); }

TEST(SleepInhibitorTest, HoldsTheSystemAwakeUntilReleased) {
    auto inhibitor = platform::windows::MakeSleepInhibitor();
    inhibitor->Inhibit("Converting video files");
    EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
    inhibitor->Inhibit("Converting video files");  // held already
    EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
    inhibitor->Release();
    EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
    inhibitor->Release();  // harmless
    EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

TEST(SleepInhibitorTest, ItsEndReleasesAndTheNativePlatformHasOne) {
    {
        auto inhibitor = platform::windows::MakeSleepInhibitor();
        inhibitor->Inhibit("Converting video files");
    }
    EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
    EXPECT_TRUE(platform::MakeNativePlatform(0, nullptr).awake);
}

}  // namespace
