// The sleep inhibition and the end-of-run notice against stand-in services
// on a private bus.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "MainWindowFixture.h"
#include "platform/linux/LinuxSleepInhibitor.h"
#include "support/PrivateBus.h"

namespace gui_test {
namespace {

using Calls = std::vector<std::string>;
using platform::LinuxSleepInhibitor;
using testing_support::PrivateBus;

const std::string kPortalAsked = "inhibit||12|Converting video files";
const std::string kLogindAsked = "inhibit|sleep:idle|Clipvane|Converting video files|block";
const std::string kFirstRequest = "close /org/freedesktop/portal/desktop/request/1_1/t1";

// Handles events until the bus has carried `count` calls (or five seconds passed).
Calls AfterCalls(const PrivateBus& bus, std::size_t count) {
    (void)QTest::qWaitFor([&] { return bus.Calls().size() >= count; }, 5000);
    return bus.Calls();
}

TEST(SleepInhibitorTest, ThePortalIsAskedFirstAndItsRequestClosedOnRelease) {
    PrivateBus session, system;
    ASSERT_TRUE(session.Serve("portal"));
    ASSERT_TRUE(system.Serve("logind"));
    LinuxSleepInhibitor inhibitor(session.address(), system.address());
    inhibitor.Inhibit("Converting video files");
    inhibitor.Inhibit("Converting video files");  // held already: not asked twice
    EXPECT_TRUE(QTest::qWaitFor([&] { return inhibitor.Holder() == "portal"; }, 5000));
    inhibitor.Release();
    EXPECT_EQ(AfterCalls(session, 2), (Calls{kPortalAsked, kFirstRequest}));
    EXPECT_TRUE(system.Calls().empty());
    EXPECT_EQ(inhibitor.Holder(), "");
}

TEST(SleepInhibitorTest, WithoutAPortalLogindHoldsUntilTheDescriptorIsClosed) {
    struct Case {
        const char* session;  // what serves the session bus
        bool sessionBus;
    };
    // No session bus at all, one with no portal, one whose portal never answers.
    for (const Case& c : {Case{"", false}, Case{"", true}, Case{"mute-portal", true}}) {
        SCOPED_TRACE(c.session);
        PrivateBus session, system;
        if (*c.session) {
            ASSERT_TRUE(session.Serve(c.session));
        }
        ASSERT_TRUE(system.Serve("logind"));
        LinuxSleepInhibitor inhibitor(c.sessionBus ? session.address() : "", system.address());
        inhibitor.Inhibit("Converting video files");
        EXPECT_TRUE(QTest::qWaitFor([&] { return inhibitor.Holder() == "logind"; }, 5000));
        EXPECT_EQ(system.Calls(), (Calls{kLogindAsked}));
        inhibitor.Release();
        EXPECT_EQ(AfterCalls(system, 2), (Calls{kLogindAsked, "released"}));
    }
}

TEST(SleepInhibitorTest, AnAnswerAfterTheReleaseIsGivenBackAtOnce) {
    PrivateBus session, system;
    ASSERT_TRUE(session.Serve("portal"));
    ASSERT_TRUE(system.Serve("logind"));
    {
        LinuxSleepInhibitor inhibitor(session.address(), "");
        inhibitor.Inhibit("Converting video files");
        inhibitor.Release();
        EXPECT_EQ(AfterCalls(session, 2), (Calls{kPortalAsked, kFirstRequest}));
    }
    LinuxSleepInhibitor inhibitor("", system.address());
    inhibitor.Inhibit("Converting video files");
    inhibitor.Release();
    EXPECT_EQ(AfterCalls(system, 2), (Calls{kLogindAsked, "released"}));
}

TEST(SleepInhibitorTest, NoServiceAnywhereIsNoFailure) {
    PrivateBus empty;
    for (const auto& [session, system] : {std::pair<std::string, std::string>{"", ""},
                                          {empty.address(), empty.address()},
                                          {"unix:path=/nonexistent/bus", "unix:path=/nonexistent/bus"}}) {
        LinuxSleepInhibitor inhibitor(session, system);
        inhibitor.Inhibit("Converting video files");
        QTest::qWait(50);
        EXPECT_EQ(inhibitor.Holder(), "");
        inhibitor.Release();
    }
}

class DesktopRunTest : public MainWindowTest {
protected:
    // The window's run with the system's services on these buses.
    void LoadWithBuses(std::vector<std::string> files) {
        auto awake = std::make_unique<LinuxSleepInhibitor>(session.address(), system.address());
        inhibitor = awake.get();
        platform.awake = std::move(awake);
        Load(std::move(files));
        form->runEndNotice.UseBus(QString::fromStdString(session.address()));
    }
    void Start() { QTest::mouseClick(form->Command1, Qt::LeftButton); }
    // Where the user's attention stays. The offscreen test platform hands the
    // focus to every window shown, the progress window too, which a real
    // window system does not do for a window that declines it.
    static void KeepActive(QWidget* window) {
        if (!window->isActiveWindow()) window->activateWindow();
    }

    PrivateBus session, system;
    LinuxSleepInhibitor* inhibitor = nullptr;
};

TEST_F(DesktopRunTest, TheSystemStaysAwakeFromStartToFinishAndTheEndIsNotedWhenLookingElsewhere) {
    ASSERT_TRUE(session.Serve("portal"));
    ASSERT_TRUE(session.Serve("notifications"));
    UseFakeConverter("ok", 0.3);
    LoadWithBuses({MakeFile("Videos/a.MTS"), MakeFile("Videos/b.MTS", "mode=fail")});
    form->ShowCentred();
    QWidget elsewhere;  // the user's attention is on another window
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    std::string heldDuringRun;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (form->supervisor.lConverterPid != 0) heldDuringRun = inhibitor->Holder();
        KeepActive(&elsewhere);
    });
    watch.start(10);
    Start();
    EXPECT_EQ(heldDuringRun, "portal");
    EXPECT_EQ(inhibitor->Holder(), "");
    Calls calls = AfterCalls(session, 3);
    std::sort(calls.begin() + 1, calls.end());  // both come at FINISH
    EXPECT_EQ(calls, (Calls{kPortalAsked, kFirstRequest,
                            "notify|Clipvane|0|clipvane|Clipvane has finished|1 file converted, 1 failed.|org.clipvane.Clipvane"}));
    EXPECT_EQ(Lines().last(), "**Finished**");
}

TEST_F(DesktopRunTest, AUserWatchingTheWindowGetsNoNotice) {
    ASSERT_TRUE(session.Serve("notifications"));
    ASSERT_TRUE(system.Serve("logind"));
    UseFakeConverter("ok");
    // The converter goes on once the user is back at the main window with the
    // progress window up (this platform gives a shown window the focus).
    const std::string gate = home / "gate";
    setenv("FAKE_FFMPEG_GATE", gate.c_str(), 1);
    LoadWithBuses({MakeFile("Videos/a.MTS")});
    form->ShowCentred();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        KeepActive(form.get());
        if (form->isActiveWindow() && form->converterWindow())
            testing_support::WriteFile(gate + "3", ""), testing_support::WriteFile(gate + "6", "");
    });
    watch.start(10);
    Start();
    unsetenv("FAKE_FFMPEG_GATE");
    // The logind hold is the last thing on the buses: nothing came before it either.
    EXPECT_EQ(AfterCalls(system, 2), (Calls{kLogindAsked, "released"}));
    QTest::qWait(100);
    EXPECT_TRUE(session.Calls().empty());
}

TEST_F(DesktopRunTest, ClosingTheWindowMidRunLetsTheSystemSleep) {
    ASSERT_TRUE(system.Serve("logind"));
    UseFakeConverter("hang");
    LoadWithBuses({MakeFile("Videos/a.MTS")});
    form->ShowCentred();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (form->supervisor.lConverterPid != 0 && inhibitor->Holder() == "logind") form->close();
    });
    watch.start(10);
    Start();
    EXPECT_TRUE(form->Unloaded());
    EXPECT_EQ(AfterCalls(system, 2), (Calls{kLogindAsked, "released"}));
}

TEST_F(DesktopRunTest, WithoutAnyServiceTheRunIsUnchanged) {
    UseFakeConverter("ok");
    const std::string a = MakeFile("Videos/a.MTS");
    LoadWithBuses({a});
    form->ShowCentred();
    Start();
    EXPECT_EQ(Lines(), (QStringList{QString::fromStdString(a), "**Number of file(s): 1",
                                    "No. 1: " + QString::fromStdString(a) + "... SUCCESS", "**Finished**"}));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(inhibitor->Holder(), "");
}

TEST_F(DesktopRunTest, TheLauncherShowsTheRunsProgressUntilFinish) {
    ASSERT_TRUE(session.Serve("launcher"));
    UseFakeConverter("ok", 0.1);
    LoadWithBuses({MakeFile("Videos/a.MTS"), MakeFile("Videos/b.MTS", "mode=fail")});
    form->launcherEntry.UseBus(QString::fromStdString(session.address()));
    form->ShowCentred();
    Start();
    const std::string app = "launcher|application://org.clipvane.Clipvane.desktop|";
    // Each file's start and end; the second starts where the first ended.
    EXPECT_EQ(AfterCalls(session, 4),
              (Calls{app + "0|visible", app + "0.5|visible", app + "1|visible", app + "0|hidden"}));
    EXPECT_EQ(Lines().last(), "**Finished**");
}

TEST(LauncherEntryTest, WithoutABusNothingIsSentAndNothingFails) {
    app::LauncherEntry entry;
    entry.UseBus("unix:path=/nonexistent/bus");
    entry.ShowProgress(0.5);
    entry.Clear();
}

}  // namespace
}  // namespace gui_test
