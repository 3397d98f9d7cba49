#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "intake/PathForms.h"
#include "platform/Platform.h"
#include "support/TempFolder.h"

namespace {

using platform::kPosixPaths;
using platform::kWindowsPaths;

// A file system in a table: every path the lookup knows, with the name the
// entry has on disk. Records the paths it is asked about.
class TableLookup : public platform::DirectoryLookup {
public:
    explicit TableLookup(std::map<std::string, std::string> entries) : entries_(std::move(entries)) {}
    std::string EntryName(const std::string& path) override {
        asked.push_back(path);
        auto it = entries_.find(path);
        return it == entries_.end() ? "" : it->second;
    }
    std::vector<std::string> asked;

private:
    std::map<std::string, std::string> entries_;
};

// A drive as a case-insensitive file system would answer: any spelling of a
// component finds the stored name.
TableLookup WindowsDrive() {
    return TableLookup({
        {R"(C:\Videos)", "Videos"},
        {R"(c:\videos)", "Videos"},
        {R"(C:\VIDEOS)", "Videos"},
        {R"(C:\Videos\BIRTHD~1.MTS)", "Birthday party.MTS"},
        {R"(c:\videos\birthday party.mts)", "Birthday party.MTS"},
        {R"(C:\Videos\Birthday party.MTS)", "Birthday party.MTS"},
        {R"(C:\Videos\.hidden)", ".hidden"},
        {"C:/Videos", "Videos"},
        {"C:/Videos/BIRTHD~1.MTS", "Birthday party.MTS"},
        {R"(\\server)", "server"},
    });
}

struct LongCase {
    const char* name;
    std::string argument;
    std::string expected;
};

// CTest lists each case by its name, not by its bytes.
void PrintTo(const LongCase& c, std::ostream* os) { *os << c.name; }

class WindowsLongNames : public ::testing::TestWithParam<LongCase> {};

TEST_P(WindowsLongNames, EachComponentTakesItsStoredName) {
    TableLookup lookup = WindowsDrive();
    EXPECT_EQ(intake::GetLongFilename(GetParam().argument, lookup, kWindowsPaths), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsLongNames,
    ::testing::Values(
        LongCase{"ShortNameBecomesLong", R"(C:\Videos\BIRTHD~1.MTS)", R"(C:\Videos\Birthday party.MTS)"},
        LongCase{"LongNameUnchanged", R"(C:\Videos\Birthday party.MTS)", R"(C:\Videos\Birthday party.MTS)"},
        LongCase{"DriveKeepsItsCaseOthersTakeStoredCase", R"(c:\videos\birthday party.mts)",
                 R"(c:\Videos\Birthday party.MTS)"},
        LongCase{"ForwardSlashesSeparateToo", "C:/Videos/BIRTHD~1.MTS", R"(C:\Videos\Birthday party.MTS)"},
        LongCase{"MissingFile", R"(C:\Videos\nothing.MTS)", ""},
        LongCase{"MissingFolderInTheMiddle", R"(C:\Nope\BIRTHD~1.MTS)", ""},
        LongCase{"BareDriveNeedsNoLookUp", "C:", "C:"},
        LongCase{"HiddenEntriesFound", R"(C:\Videos\.hidden)", R"(C:\Videos\.hidden)"},
        LongCase{"ServerPathGetsNoSpecialTreatment", R"(\\server)", R"(\\\server)"}),
    [](const ::testing::TestParamInfo<LongCase>& info) { return info.param.name; });

TEST(LongNames, LooksUpEachPrefixFromTheRootDown) {
    TableLookup lookup = WindowsDrive();
    intake::GetLongFilename(R"(C:\Videos\BIRTHD~1.MTS)", lookup, kWindowsPaths);
    EXPECT_EQ(lookup.asked, (std::vector<std::string>{R"(C:\Videos)", R"(C:\Videos\BIRTHD~1.MTS)"}));
}

TEST(LongNames, StopsAtTheFirstMissingComponent) {
    TableLookup lookup = WindowsDrive();
    EXPECT_EQ(intake::GetLongFilename(R"(C:\Nope\Videos\x)", lookup, kWindowsPaths), "");
    EXPECT_EQ(lookup.asked.size(), 1u);
}

TEST(LongNames, PosixPathsStartAtTheRoot) {
    TableLookup lookup({{"/media", "media"}, {"/media/CARD", "card"}, {"/media/CARD/00001.MTS", "00001.MTS"}});
    EXPECT_EQ(intake::GetLongFilename("/media/CARD/00001.MTS", lookup, kPosixPaths), "/media/card/00001.MTS");
    EXPECT_EQ(intake::GetLongFilename("/", lookup, kPosixPaths), "/");
    EXPECT_EQ(intake::GetLongFilename("", lookup, kPosixPaths), "");
    EXPECT_EQ(intake::GetLongFilename("/media/CARD/none", lookup, kPosixPaths), "");
}

#ifndef _WIN32
// The same on real folders with the system's own look-up.
class RealFolderNames : public ::testing::Test {
protected:
    void SetUp() override {
        platform_ = platform::MakeNativePlatform(0, nullptr);
        testing_support::WriteFile(folder / "Videos/Birthday party.MTS");
        testing_support::WriteFile(folder / "Videos/.hidden.MTS");
        std::filesystem::create_directories(folder / "Videos/Sub Folder");
        std::filesystem::create_symlink(folder / "Videos/Birthday party.MTS", folder / "Videos/link.MTS");
    }
    std::string Long(const std::string& path) {
        auto lookup = platform_.names->NewLookup();
        return intake::GetLongFilename(path, *lookup);
    }
    testing_support::TempFolder folder;
    platform::Platform platform_;
};

TEST_F(RealFolderNames, ExistingPathsComeBackAsStored) {
    for (const char* name : {"Videos/Birthday party.MTS", "Videos/.hidden.MTS", "Videos/Sub Folder", "Videos"})
        EXPECT_EQ(Long(folder / name), folder / name) << name;
}

TEST_F(RealFolderNames, LinksKeepTheirOwnNames) {
    EXPECT_EQ(Long(folder / "Videos/link.MTS"), folder / "Videos/link.MTS");
}

TEST_F(RealFolderNames, AnyMissingComponentGivesEmpty) {
    for (const char* name : {"Videos/none.MTS", "None/Birthday party.MTS", "Videos/birthday party.mts"})
        EXPECT_EQ(Long(folder / name), "") << name;
}

TEST_F(RealFolderNames, ShortFormNamesTheSameFileAndIsEmptyWhenMissing) {
    const std::string file = folder / "Videos/Birthday party.MTS";
    std::string argument = file;
    EXPECT_EQ(intake::GetShortFilename(argument, *platform_.names), file);
    EXPECT_EQ(argument, file);  // never changes its argument
    EXPECT_EQ(intake::GetShortFilename(folder / "Videos/Sub Folder", *platform_.names), folder / "Videos/Sub Folder");
    EXPECT_EQ(intake::GetShortFilename(folder / "Videos/none.MTS", *platform_.names), "");
    EXPECT_EQ(intake::GetShortFilename("", *platform_.names), "");
}
#endif

}  // namespace
