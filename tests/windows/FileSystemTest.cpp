#include <gtest/gtest.h>

#include "WindowsTestSupport.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

using namespace wintest;

class WindowsFileSystemTest : public testing::Test {
protected:
    TestFolder root;
    std::unique_ptr<platform::FileSystem> files = platform::windows::MakeFileSystem();
};

TEST_F(WindowsFileSystemTest, TellsFilesFromFoldersAndEmptyFiles) {
    WriteFile(root / "clip.MTS");
    WriteFile(root / "empty.MTS", "");
    MakeFolder(root / "folder.MTS");
    const struct {
        std::string path;
        bool file, folder, nonEmpty;
    } cases[] = {
        {root / "clip.MTS", true, false, true},
        {root / "empty.MTS", true, false, false},
        {root / "folder.MTS", false, true, false},
        {root / "missing.MTS", false, false, false},
        {"", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(files->FileExists(c.path), c.file);
        EXPECT_EQ(files->FolderExists(c.path), c.folder);
        EXPECT_EQ(files->IsNonEmptyFile(c.path), c.nonEmpty);
    }
}

TEST_F(WindowsFileSystemTest, SameFileComparesIdentityNotSpellingOrContent) {
    WriteFile(root / "One Clip.MTS", "same");
    WriteFile(root / "Other Clip.MTS", "same");
    std::string shouting = root / "ONE CLIP.mts";
    EXPECT_TRUE(files->SameFile(root / "One Clip.MTS", shouting));
    EXPECT_TRUE(files->SameFile(root / "One Clip.MTS", root.str() + "/One Clip.MTS"));
    EXPECT_FALSE(files->SameFile(root / "One Clip.MTS", root / "Other Clip.MTS"));
    EXPECT_FALSE(files->SameFile(root / "One Clip.MTS", root / "missing.MTS"));
}

TEST_F(WindowsFileSystemTest, BaseNameDropsFolderAndLastExtensionOnly) {
    const struct {
        const char* path;
        const char* base;
    } cases[] = {
        {"C:\\Videos\\Birthday party.MTS", "Birthday party"},
        {"C:\\Videos\\a.b.MTS", "a.b"},
        {"C:\\Folder.With.Dots\\clip", "clip"},
        {"C:/Videos/clip.m2ts", "clip"},
        {"C:\\Temp\\.MTS", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(files->BaseName(c.path), c.base) << c.path;
}

TEST_F(WindowsFileSystemTest, DeleteFileForceRemovesReadOnlyFiles) {
    const std::string path = root / "stale \u65e5\u672c.mp4";
    WriteFile(path);
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(files->DeleteFileForce(path), "");
    EXPECT_FALSE(Exists(path));
    EXPECT_NE(files->DeleteFileForce(path), "");
}

TEST_F(WindowsFileSystemTest, CopyReplacesTheDestinationAndLeavesNothingElse) {
    const std::string from = root / "BIRTHD~1.mp4";
    const std::string desktop = root / "Desktop";
    const std::string to = desktop + "\\Birthday \u00e9t\u00e9.mp4";
    MakeFolder(desktop);
    WriteFile(from, "new video");
    WriteFile(to, "old video");

    EXPECT_EQ(files->CopyFileReplacing(from, to), "");
    EXPECT_EQ(ReadFile(to), "new video");
    EXPECT_EQ(ReadFile(from), "new video");
    EXPECT_EQ(EntryCount(desktop), 1);
}

TEST_F(WindowsFileSystemTest, AFailedCopyLeavesTheDestinationAlone) {
    const std::string desktop = root / "Desktop";
    MakeFolder(desktop);
    WriteFile(desktop + "\\clip.mp4", "old video");
    // A source that cannot be read, and a destination that cannot be replaced.
    WriteFile(root / "source.mp4", "new video");
    MakeFolder(desktop + "\\taken.mp4");

    EXPECT_NE(files->CopyFileReplacing(root / "missing.mp4", desktop + "\\clip.mp4"), "");
    EXPECT_NE(files->CopyFileReplacing(root / "source.mp4", desktop + "\\taken.mp4"), "");
    EXPECT_EQ(ReadFile(desktop + "\\clip.mp4"), "old video");
    EXPECT_TRUE(files->FolderExists(desktop + "\\taken.mp4"));
    EXPECT_EQ(EntryCount(desktop), 2);  // no temporary left behind
    EXPECT_NE(files->CopyFileReplacing(root / "source.mp4", root / "no folder\\clip.mp4"), "");
}

TEST_F(WindowsFileSystemTest, MoveReplacingRenamesOverTheOldFile) {
    WriteFile(root / "part.tmp", "finished");
    WriteFile(root / "clip.mp4", "old");
    EXPECT_EQ(files->MoveReplacing(root / "part.tmp", root / "clip.mp4"), "");
    EXPECT_EQ(ReadFile(root / "clip.mp4"), "finished");
    EXPECT_FALSE(Exists(root / "part.tmp"));
    EXPECT_NE(files->MoveReplacing(root / "part.tmp", root / "clip.mp4"), "");
}

TEST_F(WindowsFileSystemTest, PrepareFolderMakesMissingParentsAndRefusesFiles) {
    const std::string deep = root / "one\\two \u65e5\u672c\\three";
    EXPECT_EQ(files->PrepareFolder(deep, true), "");
    EXPECT_TRUE(files->FolderExists(deep));
    EXPECT_EQ(files->PrepareFolder(deep + "\\", false), "");  // already there

    WriteFile(root / "a file");
    EXPECT_NE(files->PrepareFolder(root / "a file", false), "");
    EXPECT_NE(files->PrepareFolder(root / "a file\\below", false), "");
    EXPECT_NE(files->PrepareFolder("", false), "");
}

// Where Wine keeps the Recycle Bin: the freedesktop trash under XDG_DATA_HOME,
// seen through drive Z:. Empty on Windows itself.
std::string WineTrashFiles() {
    wchar_t value[32768];
    const DWORD n = GetEnvironmentVariableW(L"XDG_DATA_HOME", value, 32768);
    if (n == 0 || n >= 32768 || GetFileAttributesW(L"Z:\\") == INVALID_FILE_ATTRIBUTES) return {};
    std::wstring path = L"Z:" + std::wstring(value, n) + L"/Trash/files";
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return Utf8(path);
}

TEST_F(WindowsFileSystemTest, MoveToTrashPutsTheFileInTheRecycleBin) {
    const std::string name =
        "old clip " + std::to_string(GetCurrentProcessId()) + " \u00e9t\u00e9.mp4";
    const std::string path = root / name;
    WriteFile(path, "old video");

    EXPECT_EQ(files->MoveToTrash(path), "");
    EXPECT_FALSE(Exists(path));
    const std::string trash = WineTrashFiles();
    if (!trash.empty()) {
        // Wine deletes for good when it has no trash; here it has one.
        EXPECT_EQ(ReadFile(trash + "\\" + name), "old video");
        DeleteFileW(Wide(trash + "\\" + name).c_str());
        DeleteFileW(Wide(trash + "\\..\\info\\" + name + ".trashinfo").c_str());
    }
    EXPECT_NE(files->MoveToTrash(path), "");
}

}  // namespace
