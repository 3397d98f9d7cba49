#include <gtest/gtest.h>

#include "TestFolders.h"
#include "platform/linux/LinuxSpecialFolders.h"

namespace {

using namespace testing_linux;

// This program has no QCoreApplication: the folders must not need one.
TEST(LinuxFolders, DesktopAndApplicationsFollowTheXdgSettings) {
    TempFolder home;
    ScopedVariable homeVariable("HOME", home.path);
    ScopedVariable config("XDG_CONFIG_HOME", home / "config");
    platform::LinuxSpecialFolders folders;
    EXPECT_EQ(folders.Desktop(), home / "Desktop");
    std::filesystem::create_directories(home / "config");
    WriteFile(home / "config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(folders.Desktop(), home / "Schreibtisch");

    ScopedVariable data("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(folders.SendTo(), home / ".local/share/applications");
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    EXPECT_EQ(folders.SendTo(), home / "data/applications");
}

}  // namespace
