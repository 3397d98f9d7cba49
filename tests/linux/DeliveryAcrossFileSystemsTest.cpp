// A large result delivered to a Desktop on another file system than the
// temporary folder: copied in pieces while the window keeps answering.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "convert/BatchRun.h"
#include "platform/Platform.h"
#include "support/Environment.h"
#include "support/FakeView.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;

dev_t Device(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

class DeliveryAcrossFileSystems : public ::testing::Test {
protected:
    std::string savedPath;
    void SetUp() override {
        if (const char* path = std::getenv("PATH")) savedPath = path;
        for (const auto& f : {temp, videos}) fs::create_directories(f);
        testing_support::SetEnv("XDG_DATA_HOME", root / "share");
        testing_support::SetEnv("FAKE_FFMPEG_MODE", "ok");
        testing_support::SetEnv("FAKE_FFMPEG_LOG", "");
        testing_support::InstallFakeConverter(root / "bin");
        desktop = root / "Desktop";
        fs::create_directories(desktop);
        // A tmpfs where the test may mount one; else another device's folder.
        if (mount("clipvane-test", desktop.c_str(), "tmpfs", 0, "size=1300m,mode=0755") == 0) {
            mounted = true;
        } else if (Device("/dev/shm") != 0 && Device("/dev/shm") != Device(root.str()) &&
                   access("/dev/shm", W_OK) == 0) {
            elsewhere = "/dev/shm/clipvane-test-desktop-" + std::to_string(getpid());
            fs::create_directories(elsewhere);
            desktop = elsewhere;
        } else {
            GTEST_SKIP() << "cannot mount a tmpfs here (not root?) and /dev/shm is no other file system";
        }
        ASSERT_NE(Device(desktop), Device(temp));
        folders.desktop = desktop;
        list.sTempFolder = temp;
    }
    void TearDown() override {
        testing_support::SetEnv("PATH", savedPath);  // other tests of this program need it
        if (mounted) umount2(desktop.c_str(), MNT_DETACH);
        std::error_code ignored;
        if (!elsewhere.empty()) fs::remove_all(elsewhere, ignored);
    }

    // Runs the batch, counting the event pumps from the moment the transfer
    // is announced. How long they are apart is a speed figure, measured by
    // bench/delivery_bench rather than asserted here.
    void RunCountingPumps() {
        auto user = view.onPump;
        view.onPump = [&] {
            if (view.label2.rfind("Transferring", 0) == 0) ++pumpsDuringTransfer;
            if (user) user();
        };
        convert::Supervisor supervisor(view);
        convert::BatchRun run(list, view, supervisor,
                              {*platform.files, folders, *platform.processes, false, platform::kNativePaths,
                               platform.access.get()});
        run.Command1_Click();
    }
    std::vector<std::string> DesktopNames() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(desktop)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testing_support::TempFolder root;
    std::string desktop, elsewhere, temp = root / "tmp", videos = root / "Videos";
    bool mounted = false;
    platform::Platform platform = platform::MakeNativePlatform(0, nullptr);
    testing_support::FixedFolders folders;
    intake::FileList list;
    testing_support::FakeView view;
    int pumpsDuringTransfer = 0;
};

TEST_F(DeliveryAcrossFileSystems, AGigabyteResultIsCopiedWithTheWindowAnswering) {
    const std::uint64_t size = 1u << 30;
    testing_support::SetEnv("FAKE_FFMPEG_BYTES", std::to_string(size));
    const std::string clip = videos + "/big.MTS";
    WriteFile(clip, "clip");
    list.Append(clip, clip);
    RunCountingPumps();
    ASSERT_THAT(view.Lines().at(1), ::testing::EndsWith("SUCCESS"));
    EXPECT_EQ(fs::file_size(desktop + "/big.mp4"), size);
    EXPECT_EQ(DesktopNames(), (std::vector<std::string>{"big.mp4"}));
    EXPECT_TRUE(fs::is_empty(temp));
    // The copy runs beside the window, which is answered meanwhile (how
    // often, delivery_bench measures).
    EXPECT_GT(pumpsDuringTransfer, 1);
}

TEST_F(DeliveryAcrossFileSystems, ClosingTheWindowMidCopyLeavesTheDesktopAsItWas) {
    testing_support::SetEnv("FAKE_FFMPEG_BYTES", std::to_string(64u << 20));
    WriteFile(desktop + "/big.mp4", "an older result");
    const std::string clip = videos + "/big.MTS";
    WriteFile(clip, "clip");
    list.Append(clip, clip);
    int pumps = 0;
    view.onPump = [&] {
        // The first pump is the status's own; the next is the copy's.
        if (view.label2.rfind("Transferring", 0) == 0 && ++pumps == 2) view.unloaded = true;
    };
    RunCountingPumps();
    EXPECT_EQ(DesktopNames(), (std::vector<std::string>{"big.mp4"}));
    EXPECT_EQ(ReadFile(desktop + "/big.mp4"), "an older result");
    EXPECT_EQ(view.Lines().back(), "No. 1: " + clip + "...");
}

}  // namespace
