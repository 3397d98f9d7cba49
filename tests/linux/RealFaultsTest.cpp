#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "TestFolders.h"
#include "convert/BatchRun.h"
#include "platform/Platform.h"
#include "support/Environment.h"
#include "support/FakeView.h"
#include "support/FixedFolders.h"

namespace {

namespace fs = std::filesystem;
using testing_linux::ReadFile;
using testing_linux::WriteFile;
using Names = std::vector<std::string>;

constexpr std::uintmax_t kBig = 2'000'000;  // more than a 1 MiB file system holds

// A 1 MiB tmpfs over a folder for the life of the object.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::string& folder) : folder_(folder) {
        fs::create_directories(folder);
        if (geteuid() != 0)
            failure_ = "mounting needs root";
        else if (mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") != 0)
            failure_ = std::string("mount failed: ") + std::strerror(errno);
    }
    ~SmallFileSystem() {
        if (failure_.empty()) umount2(folder_.c_str(), MNT_DETACH);
    }
    // Why the file system could not be made; "" when it stands.
    const std::string& failure() const { return failure_; }

private:
    std::string folder_, failure_;
};

class RealFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& f : {desktop, temp, videos}) fs::create_directories(f);
        testing_support::SetEnv("XDG_DATA_HOME", root / "share");
        testing_support::SetEnv("FAKE_FFMPEG_LOG", root / "converter.log");
        testing_support::SetEnv("FAKE_FFMPEG_MODE", "ok");
        testing_support::SetEnv("FAKE_FFMPEG_BYTES", "4096");
        testing_support::InstallFakeConverter(root / "bin");
        folders.desktop = desktop;
        list.sTempFolder = temp;
    }
    void TearDown() override { testing_support::UnsetEnv("FAKE_FFMPEG_BYTES"); }

    // A clip whose converted result has `bytes` bytes.
    void AddClip(const std::string& name, std::uintmax_t bytes = 4096) {
        const std::string path = videos + "/" + name;
        WriteFile(path, "bytes=" + std::to_string(bytes) + "\n");
        list.Append(path, path);
    }
    void Run() {
        convert::Supervisor supervisor(view);
        convert::BatchRun run(list, view, supervisor,
                              {*platform_.files, folders, *platform_.processes, false, platform::kPosixPaths});
        run.Command1_Click();
    }
    static Names Listing(const std::string& folder) {
        Names names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    bool StatusMentions(const std::string& text) const {
        return std::any_of(view.statuses.begin(), view.statuses.end(),
                           [&](const std::string& s) { return s.find(text) != std::string::npos; });
    }

    testing_linux::TempFolder root;
    std::string desktop = root / "Desktop", temp = root / "tmp", videos = root / "Videos";
    platform::Platform platform_ = platform::MakeNativePlatform(0, nullptr);
    testing_support::FixedFolders folders;
    intake::FileList list;
    testing_support::FakeView view;
};

TEST_F(RealFaultsTest, AResultTooBigForTheDesktopFailsAndTheRunGoesOn) {
    SmallFileSystem small(desktop);
    if (!small.failure().empty()) GTEST_SKIP() << "no 1 MiB Desktop: " << small.failure();
    WriteFile(desktop + "/big.mp4", "the older file");
    AddClip("big.MTS", kBig);
    AddClip("small.MTS");
    view.text.clear();
    Run();

    EXPECT_EQ(view.Lines(), (Names{"", "No. 1: " + videos + "/big.MTS... FAIL",
                                   "No. 2: " + videos + "/small.MTS... SUCCESS", "**Finished**"}));
    EXPECT_TRUE(StatusMentions("No space left on device")) << view.statuses.size() << " statuses";
    // Nothing half-made is left; the older file is as it was.
    EXPECT_EQ(Listing(desktop), (Names{"big.mp4", "small.mp4"}));
    EXPECT_EQ(ReadFile(desktop + "/big.mp4"), "the older file");
    EXPECT_EQ(fs::file_size(desktop + "/small.mp4"), 4096u);
    // The converted file stays where the converter put it.
    EXPECT_EQ(fs::file_size(temp + "/big.mp4"), kBig);
}

TEST_F(RealFaultsTest, AFullTemporaryFolderFailsTheConversionAndLeavesNoPartialFile) {
    SmallFileSystem small(temp);
    if (!small.failure().empty()) GTEST_SKIP() << "no 1 MiB temporary folder: " << small.failure();
    AddClip("big.MTS", kBig);
    AddClip("small.MTS");
    view.text.clear();
    Run();

    EXPECT_EQ(view.Lines(), (Names{"", "No. 1: " + videos + "/big.MTS... FAIL",
                                   "No. 2: " + videos + "/small.MTS... SUCCESS", "**Finished**"}));
    EXPECT_TRUE(StatusMentions("Failed to convert the video file."));
    // The partial output is gone and the delivered result was moved away.
    EXPECT_EQ(Listing(temp), Names{});
    EXPECT_EQ(Listing(desktop), (Names{"small.mp4"}));
}

// Killed at several moments of a delivery, the program leaves on the Desktop
// either the whole result under its name or nothing under that name.
TEST_F(RealFaultsTest, KillingTheProgramWhileItDeliversLeavesNoPartialResult) {
    constexpr std::uintmax_t kSize = 48u << 20;
    AddClip("clip.MTS", kSize);
    int killedDuringDelivery = 0;
    for (const int delayMicroseconds : {0, 200, 1000, 5000, 20000}) {
        for (const auto& e : fs::directory_iterator(desktop)) fs::remove(e.path());
        fs::remove(temp + "/clip.mp4");
        const pid_t program = fork();
        if (program == 0) {
            Run();
            _exit(0);
        }
        ASSERT_GT(program, 0);
        // The delivery has begun when anything shows on the Desktop.
        bool exited = false;
        while (!exited && fs::is_empty(desktop)) exited = waitpid(program, nullptr, WNOHANG) == program;
        if (!exited) {
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds));
            killedDuringDelivery += kill(program, SIGKILL) == 0 && waitpid(program, nullptr, WNOHANG) == 0;
            waitpid(program, nullptr, 0);
        }
        const std::string result = desktop + "/clip.mp4";
        if (fs::exists(result)) {
            EXPECT_EQ(fs::file_size(result), kSize) << "killed after " << delayMicroseconds << " us";
        }
    }
    EXPECT_GT(killedDuringDelivery, 0) << "no kill fell inside a delivery";
}

}  // namespace
