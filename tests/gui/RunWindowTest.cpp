#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <signal.h>

#include "MainWindowFixture.h"
#include "support/TempFolder.h"

namespace gui_test {
namespace {

using testing_support::ReadFile;

class RunWindowTest : public MainWindowTest {
protected:
    void Start() { QTest::mouseClick(form->Command1, Qt::LeftButton); }
    // Runs an action inside the run's event pumps, once the converter runs.
    void WhenConverterRuns(std::function<void()> action) {
        auto* timer = new QTimer(form.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, form.get(), [this, timer, action] {
            if (form->supervisor.lConverterPid == 0) return;
            timer->stop();
            action();
        });
        timer->start();
    }
};

TEST_F(RunWindowTest, StartConvertsTheListIntoTheDesktop) {
    UseFakeConverter();
    const std::string good = MakeFile("Videos/Birthday party.MTS");
    const std::string bad = MakeFile("Videos/bad.MTS", "mode=fail");
    Load({"\"" + good + "\"", bad});
    form->ShowCentred();
    Start();
    EXPECT_EQ(Lines(), (QStringList{QString::fromStdString(good), QString::fromStdString(bad),
                                    "**Number of file(s): 2",
                                    "No. 1: " + QString::fromStdString(good) + "... SUCCESS",
                                    "No. 2: " + QString::fromStdString(bad) + "... FAIL", "**Finished**"}));
    EXPECT_EQ(form->Text1->textCursor().position(), Text().size());
    EXPECT_EQ(form->Label1->text(), QString::fromStdString(bad));
    EXPECT_EQ(form->Label2->text(), "Finished converting the video file(s) for iPhone/iPad/iPod.");
    EXPECT_EQ(form->Command1->text(), "FINISH");
    EXPECT_TRUE(form->Command1->isEnabled());
    EXPECT_EQ(ReadFile(desktop + "/Birthday party.mp4").size(), 4096u);
    EXPECT_TRUE(messages.isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->converterWindow());  // closed with its converter
}

TEST_F(RunWindowTest, TheButtonIsDisabledWhileConvertingAndTheConverterWindowShowsProgress) {
    UseFakeConverter("ok", 1.0);
    setenv("FAKE_FFMPEG_CHATTER", "1000", 1);
    Load({MakeFile("Videos/a.MTS")});
    form->ShowCentred();
    QString caption;
    bool enabled = true;
    QString output;
    WhenConverterRuns([&] {
        caption = form->Command1->text();
        enabled = form->Command1->isEnabled();
    });
    // The output is drained by the run's own pumps, so it is looked for from
    // there, as it comes, rather than waited for inside one of them.
    auto* look = new QTimer(form.get());
    look->setInterval(10);
    QObject::connect(look, &QTimer::timeout, form.get(), [&] {
        if (auto* window = form->converterWindow(); window && output.isEmpty())
            output = window->details()->toPlainText();
    });
    look->start();
    Start();
    unsetenv("FAKE_FFMPEG_CHATTER");
    EXPECT_EQ(caption, "Converting");
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(output.startsWith("frame=  100")) << output.left(80).toStdString();
}

TEST_F(RunWindowTest, ClosingTheWindowDuringARunKillsTheConverterAndEndsAtOnce) {
    UseFakeConverter("hang");
    Load({MakeFile("Videos/a.MTS"), MakeFile("Videos/b.MTS")});
    form->ShowCentred();
    QSignalSpy unloaded(form.get(), &app::Form1::unloaded);
    std::int32_t pid = 0;
    WhenConverterRuns([&] {
        pid = form->supervisor.lConverterPid;
        form->close();
    });
    Start();
    ASSERT_NE(pid, 0);
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_EQ(kill(pid, 0), -1);  // the converter is gone
    EXPECT_EQ(Lines().last(), "No. 1: " + QString::fromStdString(home / "Videos/a.MTS") + "...");
    EXPECT_EQ(form->Label2->text(), "Converting AVCHD video files for iPhone/iPad/iPod...");
    EXPECT_TRUE(std::filesystem::is_empty(desktop));
}

TEST_F(RunWindowTest, ADropDuringARunIsListedButNotConverted) {
    UseFakeConverter("ok", 0.3);
    const std::string a = MakeFile("Videos/a.MTS");
    const std::string late = MakeFile("Videos/late.MTS");
    Load({a});
    form->ShowCentred();
    WhenConverterRuns([&] { EXPECT_TRUE(DropOn(form->Text1->viewport(), FileDrag({late}))); });
    Start();
    // The drop re-rendered the list in place of the log so far, and the run
    // went on writing after it.
    EXPECT_EQ(Lines(), (QStringList{QString::fromStdString(a), QString::fromStdString(late),
                                    "**Number of file(s): 2 SUCCESS", "**Finished**"}));
    EXPECT_TRUE(std::filesystem::exists(desktop + "/a.mp4"));
    EXPECT_FALSE(std::filesystem::exists(desktop + "/late.mp4"));
}

TEST_F(RunWindowTest, SettingDuringARunKeepsTheMainWindowDisabledUntilClosed) {
    UseFakeConverter("ok", 0.2);
    Load({MakeFile("Videos/a.MTS")});
    form->ShowCentred();
    WhenConverterRuns([&] { QTest::mouseClick(form->Command3, Qt::LeftButton); });
    Start();
    ASSERT_TRUE(form->settingWindow());
    EXPECT_EQ(Lines().last(), "**Finished**");
    EXPECT_EQ(form->Command1->text(), "FINISH");
    EXPECT_FALSE(form->isEnabled());
    EXPECT_FALSE(form->Command1->isEnabled());  // inside a disabled window
    form->settingWindow()->close();
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(form->Command1->isEnabled());
}

TEST_F(RunWindowTest, TheWindowAnswersWhileTheConverterWaitsAndAFailureGoesStraightOn) {
    // The converter goes on only once the window's own timer opens its gate:
    // the run ends only if the window answered while it waited.
    UseFakeConverter();
    const std::string gate = home / "gate";
    setenv("FAKE_FFMPEG_GATE", gate.c_str(), 1);
    const std::string bad = MakeFile("Videos/a.MTS", "mode=fail"), good = MakeFile("Videos/b.MTS");
    Load({bad, good});
    form->ShowCentred();
    int answered = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++answered == 5) testing_support::WriteFile(gate + "3", ""), testing_support::WriteFile(gate + "6", "");
    });
    ticker.start(20);
    Start();
    unsetenv("FAKE_FFMPEG_GATE");
    EXPECT_GE(answered, 5);
    EXPECT_EQ(Lines().mid(3), (QStringList{"No. 1: " + QString::fromStdString(bad) + "... FAIL",
                                           "No. 2: " + QString::fromStdString(good) + "... SUCCESS", "**Finished**"}));
}

}  // namespace
}  // namespace gui_test
