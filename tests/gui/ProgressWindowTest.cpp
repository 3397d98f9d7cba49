#include <QAccessible>
#include <QTest>
#include <QTimer>

#include "MainWindowFixture.h"

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
    window.ShowProgress(
        Shown(25, "Input #0, mpegts, from 'clip.MTS':\n  Duration: 00:00:20.00\n", "frame=  206 time=00:00:05.00"));
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
    window.ShowProgress(
        {std::nullopt, std::chrono::milliseconds(1500), std::nullopt, "", "frame= 50 time=00:00:01.88"});
    EXPECT_EQ(window.bar()->maximum(), 0);  // busy
    EXPECT_TRUE(window.left()->text().isEmpty());
    EXPECT_FALSE(window.elapsed()->text().isEmpty());
}

class ProgressRunTest : public MainWindowTest {};

TEST_F(ProgressRunTest, EachFileShowsItsPlaceBesideTheMainWindow) {
    UseFakeConverter("ok", 0.2);
    // b, converting beside a, is still at it when its turn comes.
    Load({MakeFile("Videos/a.MTS"), MakeFile("Videos/b.MTS", "seconds=0.8")});
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

// The stand-in prints its progress as ffmpeg does and holds each step until
// the window has shown it: 30 percent of a 10 s clip, then 60.
TEST_F(ProgressRunTest, TheConvertersProgressShowsThePercentRisingAndTheTimeLeft) {
    UseFakeConverter();
    const std::string gate = home / "step";
    setenv("FAKE_FFMPEG_GATE", gate.c_str(), 1);
    const std::string clip = MakeFile("Videos/00001.MTS");
    Load({clip});
    form->ShowCentred();
    std::vector<int> percents;
    QStringList lefts;
    QString details;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        app::ConverterWindow* w = form->converterWindow();
        if (!w || !w->isVisible() || w->bar()->value() <= 0) return;
        if (!percents.empty() && percents.back() == w->bar()->value()) return;
        percents.push_back(w->bar()->value());
        lefts << w->left()->text();
        details = w->details()->toPlainText();
        testing_support::WriteFile(gate + std::to_string(percents.back() / 10), "");
    });
    watch.start(5);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    unsetenv("FAKE_FFMPEG_GATE");
    ASSERT_EQ(Lines().at(2), "No. 1: " + QString::fromStdString(clip) + "... SUCCESS");
    EXPECT_EQ(percents, (std::vector<int>{30, 60}));
    EXPECT_TRUE(lefts.last().startsWith("About ")) << lefts.join(", ").toStdString();
    EXPECT_TRUE(details.contains("Duration: 00:00:10.00"));
}

}  // namespace
}  // namespace gui_test
