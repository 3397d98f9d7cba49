#include <QSignalSpy>
#include <QTest>

#include "Form2.h"
#include "MainWindowFixture.h"

namespace gui_test {
namespace {

TEST_F(MainWindowTest, LayoutFollowsTheDesign) {
    LoadWithoutArguments();
    app::Form1& f = *form;
    EXPECT_EQ(f.windowTitle(), "Clipvane");
    EXPECT_EQ(f.size(), QSize(446, 313));
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    struct Expect {
        QWidget* widget;
        QRect rect;
        QString caption;
    };
    const Expect expected[] = {
        {f.Command3, {159, 264, 74, 33}, "Setting"},  // a pixel wider, to its caption
        {f.Command2, {256, 264, 177, 33}, "About this software"},
        {f.Frame2, {8, 152, 425, 73}, "Message"},
        {f.Label2, {8, 24, 409, 41}, ""},
        {f.Frame1, {8, 8, 425, 145}, "File to transfer"},
        {f.Text1, {8, 24, 409, 113}, ""},
        {f.Label1, {8, 24, 409, 113}, ""},
        {f.Command1, {8, 240, 129, 57}, "START"},
    };
    for (const auto& e : expected) EXPECT_EQ(e.widget->geometry(), e.rect) << e.caption.toStdString();
    EXPECT_EQ(f.Command3->text(), "Setting");
    EXPECT_EQ(f.Command2->text(), "About this software");
    EXPECT_EQ(f.Frame1->title(), "File to transfer");
    EXPECT_EQ(f.Frame2->title(), "Message");
    EXPECT_EQ(f.Label1->parentWidget(), f.Frame1);
    EXPECT_EQ(f.Label2->parentWidget(), f.Frame2);
    // The log box covers the file-name label that lies beneath it.
    const auto children = f.Frame1->children();
    EXPECT_LT(children.indexOf(f.Label1), children.indexOf(f.Text1));
    EXPECT_EQ(f.Text1->accessibleName(), "File to transfer");
    EXPECT_DOUBLE_EQ(f.font().pointSizeF(), 13.5);
    EXPECT_FALSE(f.windowIcon().isNull());
}

TEST_F(MainWindowTest, OpensCentredWithStartFocusedAndTabsInOrder) {
    LoadWithoutArguments();
    form->ShowCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form->frameGeometry().center() - screen.center()).manhattanLength(), 4);  // rounding of odd sizes
    EXPECT_EQ(QApplication::focusWidget(), form->Command1);
    QWidget* order[] = {form->Command2, form->Command3, form->Text1, form->Command1};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(MainWindowTest, UsageTextWithoutArguments) {
    LoadWithoutArguments();
    EXPECT_EQ(Lines(),
              (QStringList{"Please drag & drop video file(s) here.",
                           "Drag & Dropping video file(s) to the Desktop icon is also OK.", "To change the setting, ",
                           "right-click the video files and choose Clipvane under \"Open With\".", ""}));
    EXPECT_EQ(form->Text1->textCursor().position(), Text().size());
    EXPECT_EQ(form->files.iFileCount, 0);
    EXPECT_EQ(form->Command1->text(), "START");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, ListsArgumentsAndRefusesFoldersInOrder) {
    const std::string a = MakeFile("Videos/Birthday party.MTS");
    const std::string b = MakeFile("Videos/beach.MTS");
    std::filesystem::create_directories(home / "Videos/Card one");
    std::filesystem::create_directories(home / "Videos/Card2");
    Load({"\"" + a + "\"", home / "Videos/Card2", b, "\"" + (home / "Videos/Card one") + "\""});
    EXPECT_EQ(Lines(), (QStringList{QString::fromStdString(a), QString::fromStdString(home / "Videos/Card2"),
                                    QString::fromStdString(b),
                                    QString::fromStdString(home / "Videos/Card one"),
                                    "**Number of file(s): 4"}));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QString::fromStdString(home / "Videos/Card2")
                               + "\n\nI'm sorry. This software cannot handle folder(s).");
    EXPECT_TRUE(messages[1].startsWith(QString::fromStdString(home / "Videos/Card one") + "\n\n"));
    EXPECT_EQ(form->Command1->text(), "FINISH");
    EXPECT_TRUE(form->Command1->isEnabled());
    EXPECT_EQ(form->Text1->textCursor().position(), Text().size());
}

TEST_F(MainWindowTest, FinishClosesTheProgram) {
    std::filesystem::create_directories(home / "Videos/folder");
    Load({home / "Videos/folder"});
    form->ShowCentred();
    QSignalSpy unloaded(form.get(), &app::Form1::unloaded);
    const QString before = Text();
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Text(), before);  // nothing converted, log untouched
}

TEST_F(MainWindowTest, AboutWindowDisablesTheMainWindowUntilClosed) {
    LoadWithoutArguments();
    form->ShowCentred();
    for (bool byCloseBox : {false, true, false}) {
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        QPointer<app::Form2> about = form->aboutWindow();
        ASSERT_TRUE(about);
        EXPECT_TRUE(about->isVisible());
        EXPECT_FALSE(form->isEnabled());
        EXPECT_EQ(about->windowTitle(), "About this software");
        EXPECT_EQ(about->size(), QSize(562, 182));
        EXPECT_EQ(about->Label1->text(), "Version 1.2\nThank you for using my application.");
        EXPECT_EQ(about->Command1->geometry(), QRect(216, 144, 113, 33));
        EXPECT_EQ(about->Command1->text(), "Close");
        EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);
        if (byCloseBox)
            about->close();
        else
            QTest::mouseClick(about->Command1, Qt::LeftButton);
        EXPECT_TRUE(form->isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(about);  // a new window at every opening
    }
}

TEST_F(MainWindowTest, AScreenReaderReadsTheStatusMessage) {
    LoadWithoutArguments();
    for (const char* status : {"Converting AVCHD video files for iPhone/iPad/iPod...", "Failed to convert the video file."}) {
        form->SetLabel2(status);
        EXPECT_EQ(form->Label2->accessibleName(), status);
    }
}

}  // namespace
}  // namespace gui_test
