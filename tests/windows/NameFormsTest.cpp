#include <gtest/gtest.h>

#include <algorithm>

#include "WindowsTestSupport.h"
#include "intake/PathForms.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

using namespace wintest;

class WindowsNameFormsTest : public testing::Test {
protected:
    std::string LongForm(const std::string& path) {
        auto lookup = names->NewLookup();
        return intake::GetLongFilename(path, *lookup, platform::kWindowsPaths);
    }

    TestFolder root;
    std::unique_ptr<platform::NameForms> names = platform::windows::MakeNameForms();
    std::unique_ptr<platform::FileSystem> files = platform::windows::MakeFileSystem();
};

// Wine's short names are not Windows' (hash-style), so only round trips count.
TEST_F(WindowsNameFormsTest, ShortFormNamesTheSameEntryAndLooksUpBackToTheLongForm) {
    const std::string folder = root / "Videos of the Summer";
    MakeFolder(folder);
    const std::string entries[] = {
        folder + "\\Birthday party.MTS",
        folder + "\\a rather long name with spaces.m2ts",
        folder +
            "\\\u00c9t\u00e9 \u65e5\u672c \u0417\u0438\u043c\u0430.MTS",  // no code page has all
        folder + "\\several.dots.in.it.MTS",
    };
    for (const auto& path : entries) WriteFile(path);
    const std::string subfolder = folder + "\\A Folder With A Long Name";
    MakeFolder(subfolder);

    for (const auto& path : {entries[0], entries[1], entries[2], entries[3], subfolder}) {
        SCOPED_TRACE(path);
        const std::string shortForm = names->ShortPath(path);
        ASSERT_FALSE(shortForm.empty());
        EXPECT_TRUE(files->SameFile(shortForm, path));
        EXPECT_EQ(LongForm(shortForm), path);
        EXPECT_EQ(names->ShortPath(shortForm), shortForm);
    }
}

TEST_F(WindowsNameFormsTest, LongFormTakesTheStoredCaseButKeepsTheDriveAsGiven) {
    const std::string folder = root / "MixedCase Folder";
    MakeFolder(folder);
    WriteFile(folder + "\\Beach Day.MTS");
    std::string shouting = folder + "\\BEACH DAY.mts";
    std::transform(shouting.begin() + 2, shouting.end(), shouting.begin() + 2,
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    shouting[0] = static_cast<char>(shouting[0] | 0x20);  // "c:"

    EXPECT_EQ(LongForm(shouting), shouting.substr(0, 2) + (folder + "\\Beach Day.MTS").substr(2));
}

TEST_F(WindowsNameFormsTest, AMissingComponentAnywhereGivesNothing) {
    MakeFolder(root / "present");
    WriteFile(root / "present\\file.MTS");
    for (const std::string& path : {root / "absent\\file.MTS", root / "present\\absent.MTS",
                                    root / "present\\file.MTS\\below a file"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(LongForm(path), "");
        EXPECT_EQ(names->ShortPath(path), "");
    }
    EXPECT_EQ(names->ShortPath(""), "");
}

TEST_F(WindowsNameFormsTest, HiddenAndSystemEntriesAreFound) {
    const std::string folder = root / "Hidden Folder";
    MakeFolder(folder);
    const std::string file = folder + "\\System File.MTS";
    WriteFile(file);
    SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(Wide(folder).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_EQ(LongForm(names->ShortPath(file)), file);
    SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsNameFormsTest, PathsLongerThanAnyFixedBufferWork) {
    // Names that are short already, so the short form stays long too.
    std::string path = root.str();
    while (path.size() < 1100) {
        path += "\\ABCDEFGH";
        if (!CreateDirectoryW(Wide(path).c_str(), nullptr))
            GTEST_SKIP() << "this system limits path lengths";
    }
    const std::string shortForm = names->ShortPath(path);
    EXPECT_GT(shortForm.size(), 1000u);
    EXPECT_TRUE(files->SameFile(shortForm, path));
    EXPECT_EQ(LongForm(shortForm), path);
}

TEST_F(WindowsNameFormsTest, WildcardsMatchNothing) {
    WriteFile(root / "clip.MTS");
    auto lookup = names->NewLookup();
    EXPECT_EQ(lookup->EntryName(root / "*"), "");
    EXPECT_EQ(lookup->EntryName(root / "cl?p.MTS"), "");
    EXPECT_EQ(lookup->EntryName(root / "clip.MTS"), "clip.MTS");
}

}  // namespace
