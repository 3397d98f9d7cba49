#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>

#include "TestFolders.h"
#include "platform/linux/LinuxFileSystem.h"

namespace {

using namespace testing_linux;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

struct LinuxFiles : ::testing::Test {
    TempFolder folder;
    platform::LinuxFileSystem files;
};

TEST_F(LinuxFiles, KindsOfPath) {
    WriteFile(folder / "full", "data");
    WriteFile(folder / "empty", "");
    std::filesystem::create_directory(folder / "dir");
    symlink("full", (folder / "to-file").c_str());
    symlink("dir", (folder / "to-dir").c_str());
    symlink("nowhere", (folder / "dangling").c_str());
    struct Case {
        std::string name;
        bool file, folder, nonEmpty;
    };
    for (const auto& c : std::vector<Case>{{"full", 1, 0, 1}, {"empty", 1, 0, 0}, {"dir", 0, 1, 0},
                                           {"to-file", 1, 0, 1}, {"to-dir", 0, 1, 0}, {"dangling", 0, 0, 0}}) {
        EXPECT_EQ(files.FileExists(folder / c.name), c.file) << c.name;
        EXPECT_EQ(files.FolderExists(folder / c.name), c.folder) << c.name;
        EXPECT_EQ(files.IsNonEmptyFile(folder / c.name), c.nonEmpty) << c.name;
    }
    EXPECT_FALSE(files.FolderExists(""));

    link((folder / "full").c_str(), (folder / "hard").c_str());
    EXPECT_TRUE(files.SameFile(folder / "hard", folder / "to-file"));
    EXPECT_FALSE(files.SameFile(folder / "full", folder / "empty"));
    EXPECT_FALSE(files.SameFile(folder / "missing", folder / "missing"));
}

TEST_F(LinuxFiles, BaseNameDropsTheFolderAndLastExtension) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/m/00001.MTS", "00001"}, {"/m/a.b.MTS", "a.b"}, {"/m.d/noext", "noext"},
        {"clip.m2ts", "clip"},     {"/m/.hidden", ""},    {"/m/my clip.MTS", "my clip"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(files.BaseName(path), expected) << path;
}

TEST_F(LinuxFiles, DeleteFileForceRemovesAReadOnlyFile) {
    WriteFile(folder / "ro", "x");
    chmod((folder / "ro").c_str(), 0444);
    EXPECT_EQ(files.DeleteFileForce(folder / "ro"), "");
    EXPECT_EQ(files.DeleteFileForce(folder / "ro"), "No such file or directory");
}

TEST_F(LinuxFiles, CopyFileReplacingCreatesAndReplaces) {
    const mode_t oldMask = umask(027);
    std::string big(3 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    WriteFile(folder / "src", big);
    WriteFile(folder / "old", "old contents");
    EXPECT_EQ(files.CopyFileReplacing(folder / "src", folder / "new"), "");
    EXPECT_EQ(files.CopyFileReplacing(folder / "src", folder / "old"), "");
    umask(oldMask);
    EXPECT_EQ(ReadFile(folder / "new"), big);
    EXPECT_EQ(ReadFile(folder / "old"), big);
    EXPECT_EQ(ModeOf(folder / "new"), 0640u);  // a new file's mode, not mkstemp's
    EXPECT_EQ(Names(folder.path), (std::vector<std::string>{"new", "old", "src"}));
}

TEST_F(LinuxFiles, FailedCopyLeavesTheDestinationAndNoTemporaryFile) {
    WriteFile(folder / "dest", "keep me");
    std::filesystem::create_directory(folder / "dir");
    WriteFile(folder / "src", "new");
    EXPECT_EQ(files.CopyFileReplacing(folder / "missing", folder / "dest"), "No such file or directory");
    EXPECT_EQ(files.CopyFileReplacing(folder / "dir", folder / "dest"), "Is a directory");
    EXPECT_EQ(files.CopyFileReplacing(folder / "src", folder / "no/dest"), "No such file or directory");
    EXPECT_NE(files.CopyFileReplacing(folder / "src", folder / "dir"), "");
    EXPECT_EQ(ReadFile(folder / "dest"), "keep me");
    EXPECT_EQ(Names(folder.path), (std::vector<std::string>{"dest", "dir", "src"}));

    std::filesystem::create_directory(folder / "small");
    if (geteuid() != 0 || mount("tmpfs", (folder / "small").c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a full disk needs root to mount a small file system";
    WriteFile(folder / "small/dest", "keep me");
    WriteFile(folder / "big", std::string(1 << 20, 'x'));
    EXPECT_EQ(files.CopyFileReplacing(folder / "big", folder / "small/dest"), "No space left on device");
    EXPECT_EQ(Names(folder / "small"), std::vector<std::string>{"dest"});
    EXPECT_EQ(ReadFile(folder / "small/dest"), "keep me");
    umount((folder / "small").c_str());
}

TEST_F(LinuxFiles, MoveToTrashUsesTheUsersTrash) {
    // The data folder does not exist yet; nothing may land in the current folder.
    ScopedVariable data("XDG_DATA_HOME", folder / "data");
    TempFolder elsewhere;
    ScopedCurrentFolder inside(elsewhere.path);
    WriteFile(folder / "00001.mp4", "video");
    EXPECT_EQ(files.MoveToTrash(folder / "00001.mp4"), "");
    EXPECT_FALSE(std::filesystem::exists(folder / "00001.mp4"));
    EXPECT_EQ(ReadFile(folder / "data/Trash/files/00001.mp4"), "video");
    EXPECT_TRUE(std::filesystem::exists(folder / "data/Trash/info/00001.mp4.trashinfo"));
    EXPECT_EQ(files.MoveToTrash(folder / "00001.mp4"), "No such file or directory");
    // Not valid UTF-8: Qt would look for a file of another name.
    WriteFile(folder / "bad\xff.mp4", "video");
    EXPECT_NE(files.MoveToTrash(folder / "bad\xff.mp4"), "");
    EXPECT_TRUE(Names(elsewhere.path).empty());
}

TEST_F(LinuxFiles, PrepareFolderCreatesAPrivateFolderWithItsParents) {
    const mode_t oldMask = umask(0);
    EXPECT_EQ(files.PrepareFolder(folder / "a/b/private/", true), "");
    EXPECT_EQ(files.PrepareFolder(folder / "open", false), "");
    umask(oldMask);
    EXPECT_EQ(ModeOf(folder / "a/b/private"), 0700u);
    EXPECT_EQ(ModeOf(folder / "a"), 0777u);
    EXPECT_EQ(ModeOf(folder / "open"), 0777u);
    EXPECT_EQ(files.PrepareFolder(folder / "a/b/private", true), "");
}

TEST_F(LinuxFiles, PrepareFolderRefusesWhatIsNotAFolderOfOurOwn) {
    std::filesystem::create_directory(folder / "real");
    symlink("real", (folder / "link").c_str());
    WriteFile(folder / "file", "");
    EXPECT_EQ(files.PrepareFolder(folder / "link/", true), folder / "link is a link, not a folder");
    EXPECT_EQ(files.PrepareFolder(folder / "link", false), "");  // a shared folder may be a link
    EXPECT_EQ(files.PrepareFolder(folder / "file", false), folder / "file is not a folder");
    EXPECT_NE(files.PrepareFolder(folder / "file/sub", true), "");
    if (geteuid() == 0) {
        std::filesystem::create_directory(folder / "theirs");
        chown((folder / "theirs").c_str(), 65534, 65534);
        EXPECT_EQ(files.PrepareFolder(folder / "theirs", true), folder / "theirs belongs to another user");
    } else {
        std::filesystem::create_directory(folder / "locked");
        chmod((folder / "locked").c_str(), 0500);
        EXPECT_NE(files.PrepareFolder(folder / "locked", false), "");
    }
}

}  // namespace
