#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestFolders.h"
#include "platform/linux/LinuxEnvironment.h"

namespace {

using platform::LinuxEnvironment;
using namespace testing_linux;

TEST(LinuxEnvironment, EachArgumentBecomesOneAbsoluteRawToken) {
    TempFolder folder;
    ScopedCurrentFolder inside(folder.path);
    const std::string here = std::filesystem::current_path().string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"clip.MTS", here + "/clip.MTS"},
        {"/media/card/00001.MTS", "/media/card/00001.MTS"},
        {"../up/./x.MTS", here + "/../up/./x.MTS"},  // not normalised
        {"my clip.MTS", "\"" + here + "/my clip.MTS\""},
        {"/a/say \"hi\".MTS", "\"/a/say \"hi\".MTS\""},
        {"", "\"\""},
        {"/a/caf\xc3\xa9\xff.MTS", "/a/caf\xc3\xa9\xff.MTS"},  // bytes pass unchanged
    };
    std::vector<std::string> arguments, expected;
    for (const auto& [argument, token] : cases) {
        arguments.push_back(argument);
        expected.push_back(token);
    }
    EXPECT_EQ(LinuxEnvironment(arguments).Arguments().rawTokens, expected);

    char program[] = "/usr/bin/clipvane";
    char* argv[] = {program, nullptr};
    const auto none = LinuxEnvironment(1, argv).Arguments();
    EXPECT_TRUE(none.rawTokens.has_value() && none.Empty());
}

TEST(LinuxEnvironment, TemporaryFolderFollowsTempThenXdgCacheThenHome) {
    struct Case {
        std::optional<std::string> temp, cache;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"relative/tmp", "/c", "relative/tmp"},  // TEMP is taken as it is
        {"", "/c", "/c/clipvane"},
        {std::nullopt, "/c", "/c/clipvane"},
        {std::nullopt, "relative/cache", "/h/.cache/clipvane"},
        {std::nullopt, std::nullopt, "/h/.cache/clipvane"},
    };
    ScopedVariable home("HOME", "/h");
    for (const auto& c : cases) {
        ScopedVariable temp("TEMP", c.temp);
        ScopedVariable cache("XDG_CACHE_HOME", c.cache);
        EXPECT_EQ(LinuxEnvironment(std::vector<std::string>{}).TemporaryFolder(), c.expected)
            << c.temp.value_or("(unset)") << " " << c.cache.value_or("(unset)");
    }
}

TEST(LinuxEnvironment, ProgramFolderHoldsTheRunningProgram) {
    const std::string folder = LinuxEnvironment(std::vector<std::string>{}).ProgramFolder();
    struct stat self {}, found {};
    ASSERT_EQ(stat("/proc/self/exe", &self), 0);
    ASSERT_EQ(stat((folder + "/" + program_invocation_short_name).c_str(), &found), 0) << folder;
    EXPECT_EQ(found.st_ino, self.st_ino);
}

}  // namespace
