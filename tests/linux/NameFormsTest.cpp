#include <gtest/gtest.h>
#include <unistd.h>

#include "TestFolders.h"
#include "platform/linux/LinuxNameForms.h"

namespace {

using platform::LinuxDirectoryLookup;
using namespace testing_linux;

struct LinuxNames : ::testing::Test {
    void SetUp() override {
        WriteFile(folder / "Clip.MTS", "x");
        WriteFile(folder / ".hidden", "x");
        std::filesystem::create_directory(folder / "Sub");
        symlink("Clip.MTS", (folder / "link.MTS").c_str());
        symlink("nowhere", (folder / "dangling").c_str());
    }
    TempFolder folder;
};

TEST_F(LinuxNames, EntryNameGivesTheNameAsStored) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Clip.MTS", "Clip.MTS"}, {"clip.MTS", ""},  // this folder is case-sensitive
        {".hidden", ".hidden"},   {"Sub", "Sub"},
        {"link.MTS", "link.MTS"},  // a link keeps its own name
        {"dangling", "dangling"}, {"missing", ""},
        {".", "."},               {"Sub/..", ".."},
        {"missing/..", ""},       {"missing/x", ""},
        {"Clip.MTS/x", ""},
    };
    LinuxDirectoryLookup lookup;
    for (const auto& [relative, expected] : cases)
        EXPECT_EQ(lookup.EntryName(folder / relative), expected) << relative;
    EXPECT_EQ(lookup.EntryName("/"), "");
    EXPECT_EQ(lookup.EntryName("/tmp"), "tmp");
}

TEST_F(LinuxNames, EachFolderIsReadOnce) {
    LinuxDirectoryLookup lookup;
    for (int i = 0; i < 2000; ++i) WriteFile(folder / ("f" + std::to_string(i)), "");
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(lookup.EntryName(folder / ("f" + std::to_string(i))), "f" + std::to_string(i));
    EXPECT_EQ(lookup.EntryName(folder.path + "//Clip.MTS"), "Clip.MTS");
    EXPECT_EQ(lookup.FolderReads(), 1);
}

// Without a case-insensitive mount at hand, a name added after the folder was
// read stands in for an alias: it exists, yet is not among the names read.
TEST_F(LinuxNames, AnUnlistedExistingNameResolvesThroughItsInode) {
    LinuxDirectoryLookup lookup;
    ASSERT_EQ(lookup.EntryName(folder / "Clip.MTS"), "Clip.MTS");
    link((folder / "Clip.MTS").c_str(), (folder / "ALIAS.MTS").c_str());
    symlink("Sub", (folder / "SUBLINK").c_str());
    EXPECT_EQ(lookup.EntryName(folder / "ALIAS.MTS"), "Clip.MTS");
    EXPECT_EQ(lookup.EntryName(folder / "SUBLINK"), "");  // never the link's target
    EXPECT_EQ(lookup.FolderReads(), 1);
}

TEST_F(LinuxNames, ShortPathIsTheExistingPathMadeAbsolute) {
    ScopedCurrentFolder inside(folder.path);
    const std::string here = std::filesystem::current_path().string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {folder / "Sub/../link.MTS", folder / "Sub/../link.MTS"},
        {"./Sub", here + "/./Sub"},
        {folder / "dangling", ""},
        {folder / "clip.MTS", ""},
    };
    platform::LinuxNameForms names;
    for (const auto& [path, expected] : cases) EXPECT_EQ(names.ShortPath(path), expected) << path;
}

}  // namespace
