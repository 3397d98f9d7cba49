// The system's file access, on real files: Linux here, Windows under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "platform/Platform.h"
#include "support/LargeFile.h"
#include "support/TempFolder.h"

namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;
namespace fs = std::filesystem;

class FileAccessTest : public ::testing::Test {
protected:
    testing_support::TempFolder root;
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    platform::FileAccess& access = *platform.access;
};

TEST_F(FileAccessTest, ReadsAndOverwritesInPlaceButNeverGrows) {
    const std::string path = root / "file";
    WriteFile(path, "0123456789");
    std::string error;
    auto file = access.Open(path, true, error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->Size(), 10u);
    std::uint8_t bytes[8] = {};
    EXPECT_EQ(file->ReadAt(6, bytes, 8), 4u);  // short at the end
    EXPECT_EQ(std::string(bytes, bytes + 4), "6789");
    EXPECT_EQ(file->ReadAt(10, bytes, 8), 0u);
    EXPECT_EQ(file->ReadAt(1u << 31, bytes, 8), 0u);
    EXPECT_TRUE(file->WriteAt(2, reinterpret_cast<const std::uint8_t*>("ab"), 2));
    EXPECT_FALSE(file->WriteAt(9, reinterpret_cast<const std::uint8_t*>("xy"), 2));
    EXPECT_FALSE(file->WriteAt(11, reinterpret_cast<const std::uint8_t*>("x"), 1));
    file.reset();
    EXPECT_EQ(ReadFile(path), "01ab456789");

    auto readOnly = access.Open(path, false, error);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->WriteAt(0, reinterpret_cast<const std::uint8_t*>("z"), 1));
    EXPECT_FALSE(access.Open(root / "missing", false, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(access.Open(root.str(), false, error));  // a folder
}

TEST_F(FileAccessTest, ModificationTimesRoundTrip) {
    const std::string path = root / "clip.MTS";
    WriteFile(path);
    // 1980, 2015, and past 2038 (64-bit times on both systems).
    for (platform::UnixSeconds t : {315532800LL, 1433160000LL, 2240524800LL}) {
        ASSERT_EQ(access.SetModificationTime(path, t), "");
        EXPECT_EQ(access.ModificationTime(path), t);
    }
    EXPECT_FALSE(access.ModificationTime(root / "missing"));
    EXPECT_NE(access.SetModificationTime(root / "missing", 0), "");
}

TEST_F(FileAccessTest, RenamesWithinOneFileSystemReplacing) {
    WriteFile(root / "a", "new");
    WriteFile(root / "b", "old");
    std::string error;
    EXPECT_EQ(access.Rename(root / "a", root / "b", error), platform::RenameOutcome::kRenamed);
    EXPECT_EQ(ReadFile(root / "b"), "new");
    EXPECT_FALSE(fs::exists(root / "a"));
    EXPECT_EQ(access.Rename(root / "a", root / "c", error), platform::RenameOutcome::kFailed);
    EXPECT_FALSE(error.empty());
}

TEST_F(FileAccessTest, CopiesInPiecesWithTheCallerBetweenThem) {
    const std::size_t mib = 1u << 20;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, 4 * mib, 4 * mib + 1, 9 * mib}) {
        SCOPED_TRACE(size);
        std::string content(size, '\0');
        for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>(i * 7 + i / 4099);
        WriteFile(root / "from", content);
        WriteFile(root / "to", "an older file");
        int calls = 0;
        std::uint64_t last = 0;
        ASSERT_EQ(access.CopyInPieces(root / "from", root / "to",
                                      [&](std::uint64_t copied, std::uint64_t total) {
                                          ++calls;
                                          EXPECT_EQ(total, size);
                                          EXPECT_GE(copied, last);
                                          last = copied;
                                      }),
                  "");
        EXPECT_TRUE(ReadFile(root / "to") == content);
        EXPECT_EQ(ReadFile(root / "from").size(), size);
        // The caller hears of the end, however quick the copy was (while it
        // lasts, it hears at every pump step).
        EXPECT_GE(calls, 1);
        EXPECT_EQ(last, size);
    }
}

TEST_F(FileAccessTest, ACopyStoppedByTheCallerLeavesNothing) {
    WriteFile(root / "from", std::string(6u << 20, 'v'));
    struct Stop {};
    EXPECT_THROW(access.CopyInPieces(root / "from", root / "to",
                                     [](std::uint64_t, std::uint64_t) { throw Stop{}; }),
                 Stop);
    EXPECT_FALSE(fs::exists(root / "to"));
    EXPECT_NE(access.CopyInPieces(root / "missing", root / "to", [](std::uint64_t, std::uint64_t) {}), "");
    EXPECT_FALSE(fs::exists(root / "to"));
    EXPECT_TRUE(fs::exists(root / "from"));
}

TEST_F(FileAccessTest, DeletesALargeFileInPieces) {
    const std::string big = root / "big.mp4", small = root / "small.mp4";
    WriteFile(small, "v");
    testing_support::MakeLargeFile(big, 200u << 20);
#ifdef _WIN32
    const int piecesOfBig = 0;  // the system frees a large file quickly there
#else
    const int piecesOfBig = 2;
#endif
    for (const auto& [path, leastCalls] : {std::pair{small, 0}, std::pair{big, piecesOfBig}}) {
        int calls = 0;
        EXPECT_EQ(access.DeleteInPieces(path, [&](std::uint64_t, std::uint64_t) { ++calls; }), "");
        EXPECT_FALSE(fs::exists(path));
        EXPECT_GE(calls, leastCalls);
    }
    EXPECT_NE(access.DeleteInPieces(small, [](std::uint64_t, std::uint64_t) {}), "");
}

}  // namespace
