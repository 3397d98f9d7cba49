#include <QAccessible>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "MainWindowFixture.h"
#include "support/CommandOutput.h"

namespace gui_test {
namespace {

convert::FileProgress Shown(std::optional<int> percent, std::string newLines, std::string lastLine) {
    return {percent, std::chrono::milliseconds(7400), std::chrono::seconds(80), std::move(newLines),
            std::move(lastLine)};
}

TEST(ProgressWindowTest, ShowsTheClipItsPlaceThePercentAndKeepsTheDetailsFolded) {
    app::ConverterWindow window("Birthday party.MTS", "/home/user/Videos/Birthday party.MTS", 2, 5);
    EXPECT_EQ(window.name()->text(), "Birthday party.MTS");
    EXPECT_EQ(window.place()->text(), "2 of 5");
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    window.ShowProgress(Shown(25, "Input #0, mpegts, from 'clip.MTS':\n  Duration: 00:00:20.00\n", "frame=  206 time=00:00:05.00"));
    EXPECT_EQ(window.bar()->value(), 25);
    window.ShowProgress(Shown(50, "", "frame=  302 time=00:00:10.00 bitrate=N/A"));
    EXPECT_EQ(window.bar()->value(), 50);
    EXPECT_EQ(window.bar()->maximum(), 100);
    EXPECT_EQ(window.elapsed()->text(), "Elapsed 0:07");
    EXPECT_EQ(window.left()->text(), "About 1:20 left");
    EXPECT_FALSE(window.details()->isVisibleTo(&window));
    window.detailsButton()->click();
    EXPECT_TRUE(window.details()->isVisibleTo(&window));
    // The progress line is redrawn in its place, after the lines before it.
    EXPECT_EQ(window.details()->toPlainText(),
              "Input #0, mpegts, from 'clip.MTS':\n  Duration: 00:00:20.00\nframe=  302 time=00:00:10.00 bitrate=N/A");
    // Screen readers get names for every text and the bar's value; a label's
    // name is what it shows, and what it stands for is its description.
    for (QWidget* w : std::initializer_list<QWidget*>{window.bar(), window.details()})
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
    for (QLabel* label : {window.name(), window.place(), window.elapsed(), window.left()}) {
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->text(QAccessible::Name), label->text());
        EXPECT_FALSE(read->text(QAccessible::Description).isEmpty()) << label->text().toStdString();
    }
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window.bar());
    ASSERT_TRUE(bar && bar->valueInterface());
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 50);
}

TEST(ProgressWindowTest, WithoutALengthTheBarIsBusyAndOnlyTheTimeSpentShows) {
    app::ConverterWindow window("pipe.MTS", "pipe.MTS", 1, 1);
    window.ShowProgress({std::nullopt, std::chrono::milliseconds(1500), std::nullopt, "", "frame= 50 time=00:00:01.88"});
    EXPECT_EQ(window.bar()->maximum(), 0);  // busy
    EXPECT_TRUE(window.left()->text().isEmpty());
    EXPECT_FALSE(window.elapsed()->text().isEmpty());
}

class ProgressRunTest : public MainWindowTest {};

TEST_F(ProgressRunTest, EachFileShowsItsPlaceBesideTheMainWindow) {
    UseFakeConverter("ok", 0.2);
    Load({MakeFile("Videos/a.MTS"), MakeFile("Videos/b.MTS")});
    form->ShowCentred();
    QStringList places;
    bool covered = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        app::ConverterWindow* w = form->converterWindow();
        if (!w || !w->isVisible()) return;
        if (places.isEmpty() || places.last() != w->place()->text()) places << w->place()->text();
        covered = covered || w->frameGeometry().intersects(form->frameGeometry());
    });
    watch.start(10);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_EQ(places, (QStringList{"1 of 2", "2 of 2"}));
    EXPECT_FALSE(covered);
    EXPECT_EQ(Lines().last(), "**Finished**");
}

std::string Shell(const std::string& command) { return testing_support::CommandOutput(command); }

// Calls `look` as a window closes: its last state may come in the same pump
// as the converter's end, with no timer between them.
struct AtClose : QObject {
    std::function<void()> look;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) look();
        return false;
    }
};

TEST_F(ProgressRunTest, ARealClipShowsThePercentRisingAndTheTimeLeft) {
    setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
    if (Shell("command -v ffmpeg").empty()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string clip = videos + "/00001.MTS";
    Shell("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=25 -t 6 "
          "-c:v mpeg2video -q:v 4 -f mpegts -output_ts_offset 1.4 '" + clip + "' 2>&1");
    ASSERT_TRUE(std::filesystem::exists(clip));
    Load({clip});
    form->ShowCentred();
    std::vector<int> percents;
    QStringList lefts;
    QString details;
    AtClose atClose;
    auto look = [&] {
        app::ConverterWindow* w = form->converterWindow();
        if (!w || !w->isVisible()) return;
        if (w->property("watched").isNull()) {
            w->installEventFilter(&atClose);
            w->setProperty("watched", true);
        }
        if (w->bar()->maximum() != 100) return;
        if (percents.empty() || percents.back() != w->bar()->value()) percents.push_back(w->bar()->value());
        if (!w->left()->text().isEmpty() && (lefts.isEmpty() || lefts.last() != w->left()->text()))
            lefts << w->left()->text();
        details = w->details()->toPlainText();
    };
    atClose.look = look;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, look);
    watch.start(5);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    ASSERT_EQ(Lines().at(2), "No. 1: " + QString::fromStdString(clip) + "... SUCCESS");
    std::string seen;
    for (int p : percents) seen += std::to_string(p) + " ";
    std::printf("percent seen: %s\ntime left seen: %s\n", seen.c_str(), lefts.join(", ").toUtf8().constData());
    ASSERT_GE(percents.size(), 2u) << "too quick to watch";
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_GT(percents.back(), percents.front());
    EXPECT_GE(percents.back(), 90);
    EXPECT_FALSE(lefts.isEmpty());
    EXPECT_TRUE(details.contains("Duration: 00:00:06.00"));
}

}  // namespace
}  // namespace gui_test
