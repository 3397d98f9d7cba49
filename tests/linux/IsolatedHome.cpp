// Every test runs with a home and XDG folders of its own, so nothing reaches
// the real user's desktop, trash or cache.
#include <gtest/gtest.h>

#include "TestFolders.h"

namespace {

struct IsolatedHome : ::testing::Environment {
    std::optional<testing_linux::TempFolder> made;
    void SetUp() override {
        const auto& home = made.emplace();
        setenv("HOME", home.path.c_str(), 1);
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        unsetenv("TEMP");
    }
    void TearDown() override { made.reset(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new IsolatedHome);

}  // namespace
