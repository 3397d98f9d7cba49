#include <QTest>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "MainWindowFixture.h"
#include "support/CommandOutput.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;

using testing_support::CommandOutput;

// A session bus of the test's own; its services (the file metadata store
// among them) start on demand with the test's home.
class PrivateSessionBus {
public:
    PrivateSessionBus() {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 2);
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        char buffer[512];
        ssize_t n = 0;
        while (pid_ > 0 && address_.find('\n') == std::string::npos &&
               (n = read(out[0], buffer, sizeof buffer)) > 0)
            address_.append(buffer, static_cast<std::size_t>(n));
        close(out[0]);
        if (!address_.empty() && address_.back() == '\n') address_.pop_back();
    }
    ~PrivateSessionBus() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
};

class TrustedLauncherTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        setenv("PATH", "/usr/bin:/bin", 1);  // where gio lives
        LoadWithoutArguments();
    }
    void TearDown() override {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        MainWindowTest::TearDown();
    }
    std::string MakeDesktopLauncher() {
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        app::Form3& w = *form->settingWindow();
        w.Option1->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        return desktop + "/Clipvane.desktop";
    }
    std::string Metadata(const std::string& path) {
        return CommandOutput("gio info -a 'metadata::*' '" + path + "' 2>&1");
    }
};

TEST_F(TrustedLauncherTest, TheDesktopLauncherIsMarkedTrustedWhereTheMetadataStoreRuns) {
    for (const char* needed : {"/usr/bin/gio", "/usr/bin/dbus-daemon", "/usr/libexec/gvfsd-metadata"})
        if (!fs::exists(needed)) GTEST_SKIP() << needed << " is missing (packages gvfs, gvfs-daemons, dbus)";
    PrivateSessionBus bus;
    if (bus.address().empty()) GTEST_SKIP() << "no private session bus could be started";
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    const std::string probe = home / "probe";
    testing_support::WriteFile(probe, "x");
    if (std::system(("gio set '" + probe + "' metadata::probe yes >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "the file metadata service does not start on a private bus";

    // A launcher that was there before is left as it is, unmarked.
    const std::string link = desktop + "/Clipvane.desktop";
    testing_support::WriteFile(link, "someone else's");
    MakeDesktopLauncher();
    EXPECT_EQ(testing_support::ReadFile(link), "someone else's");
    EXPECT_EQ(Metadata(link).find("metadata::"), std::string::npos) << Metadata(link);
    fs::remove(link);

    MakeDesktopLauncher();
    ASSERT_TRUE(fs::exists(link));
    EXPECT_TRUE(messages.isEmpty());
    const std::string checksum = CommandOutput("sha256sum '" + link + "'").substr(0, 64);
    const std::string metadata = Metadata(link);
    EXPECT_NE(metadata.find("  metadata::trusted: true\n"), std::string::npos) << metadata;
    EXPECT_NE(metadata.find("  metadata::xfce-exe-checksum: " + checksum + "\n"), std::string::npos) << metadata;

    // The "Open With" launcher is not for the desktop and is not marked.
    QTest::mouseClick(form->Command3, Qt::LeftButton);
    form->settingWindow()->Option3->click();
    QTest::mouseClick(form->settingWindow()->Command1, Qt::LeftButton);
    const std::string sendTo = home / ".local/share/applications/Clipvane.desktop";
    ASSERT_TRUE(fs::exists(sendTo));
    EXPECT_EQ(Metadata(sendTo).find("metadata::trusted"), std::string::npos);
}

TEST_F(TrustedLauncherTest, WithoutTheStoreTheLauncherIsMadeAsBefore) {
    // A bus that is not there: every metadata write fails.
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home / "no-bus").c_str(), 1);
    const std::string link = MakeDesktopLauncher();
    ASSERT_TRUE(fs::exists(link));
    EXPECT_NE(testing_support::ReadFile(link).find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_EQ(fs::status(link).permissions() & fs::perms::all, fs::perms(0755));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(form->isEnabled());
}

}  // namespace
}  // namespace gui_test
