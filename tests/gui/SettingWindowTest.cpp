#include <QTest>
#include <sys/stat.h>

#include "MainWindowFixture.h"

namespace gui_test {
namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;
namespace fs = std::filesystem;

class SettingWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        desktopLink = desktop + "/Clipvane.desktop";
        sendToLink = home / ".local/share/applications/Clipvane.desktop";
        LoadWithoutArguments();
        form->ShowCentred();
    }
    app::Form3& Open() {
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        return *form->settingWindow();
    }
    void Set(app::Form3& w) { QTest::mouseClick(w.Command1, Qt::LeftButton); }
    static unsigned Mode(const std::string& path) {
        struct stat st {};
        stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }
    std::string desktopLink, sendToLink;
};

TEST_F(SettingWindowTest, LayoutAndTabOrder) {
    app::Form3& w = Open();
    EXPECT_EQ(w.windowTitle(), "Setting");
    // Wider than designed, to the "Open With" caption.
    EXPECT_EQ(w.size(), QSize(352, 263));
    EXPECT_EQ(w.Frame1->title(), "Create a shortcut to the Desktop?");
    EXPECT_EQ(w.Frame2->title(), "Right click a file and open with");
    EXPECT_EQ(w.Frame1->geometry(), QRect(16, 16, 321, 73));
    EXPECT_EQ(w.Frame2->geometry(), QRect(16, 128, 321, 73));
    EXPECT_EQ(w.Option1->geometry(), QRect(24, 32, 97, 25));
    EXPECT_EQ(w.Option2->geometry(), QRect(144, 32, 105, 25));
    EXPECT_EQ(w.Option3->geometry(), QRect(24, 24, 81, 33));
    EXPECT_EQ(w.Option4->geometry(), QRect(144, 24, 89, 33));
    EXPECT_EQ(w.Command1->geometry(), QRect(84, 216, 177, 33));
    EXPECT_EQ(w.Command1->text(), "Set");
    // The controls that take the focus, in tab order.
    std::vector<QWidget*> order;
    QWidget* x = w.Option1;
    do {
        if (x->focusPolicy() & Qt::TabFocus) order.push_back(x);
        x = x->nextInFocusChain();
    } while (x != w.Option1);
    EXPECT_EQ(order, (std::vector<QWidget*>{w.Option1, w.Option2, w.Command1, w.Option3, w.Option4}));
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    // One choice per question.
    w.Option1->click();
    EXPECT_FALSE(w.Option2->isChecked());
    w.Option4->click();
    EXPECT_FALSE(w.Option3->isChecked());
    EXPECT_TRUE(w.Option1->isChecked());
}

TEST_F(SettingWindowTest, OpensWithTheStateOnDiskAndSetWithoutChangesTouchesNothing) {
    app::Form3& none = Open();
    EXPECT_TRUE(none.Option2->isChecked());
    EXPECT_TRUE(none.Option4->isChecked());
    EXPECT_FALSE(form->isEnabled());
    Set(none);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(fs::exists(desktopLink));
    EXPECT_FALSE(fs::exists(sendToLink));

    WriteFile(desktopLink, "anything at all");
    WriteFile(sendToLink, "whatever it points to");
    app::Form3& both = Open();
    EXPECT_TRUE(both.Option1->isChecked());
    EXPECT_TRUE(both.Option3->isChecked());
    Set(both);
    EXPECT_EQ(ReadFile(desktopLink), "anything at all");
    EXPECT_EQ(ReadFile(sendToLink), "whatever it points to");
    EXPECT_FALSE(form->settingWindow() && form->settingWindow()->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(SettingWindowTest, CreatesOnlyWhatIsAskedForAsAValidLauncher) {
    app::Form3& w = Open();
    w.Option1->click();
    Set(w);
    ASSERT_TRUE(fs::exists(desktopLink));
    EXPECT_FALSE(fs::exists(sendToLink));
    const std::string entry = ReadFile(desktopLink);
    EXPECT_NE(entry.find("Exec=" + programFolder + "/clipvane %F\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Path=" + programFolder + "\n"), std::string::npos);
    EXPECT_NE(entry.find("Comment=\n"), std::string::npos);
    EXPECT_NE(entry.find("Type=Application\n"), std::string::npos);
    EXPECT_NE(entry.find("Name=Clipvane\n"), std::string::npos);
    EXPECT_EQ(Mode(desktopLink), 0755u);
    EXPECT_EQ(std::system(("/usr/bin/desktop-file-validate '" + desktopLink + "'").c_str()), 0);

    setenv("PATH", "/usr/bin:/bin", 1);  // where the system's desktop tools live
    // A stand-in program that notes the files it is started with (menus
    // also leave out launchers whose program is missing).
    WriteFile(programFolder + "/clipvane", "#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > \"$HOME/launched\"\n");
    fs::permissions(programFolder + "/clipvane", fs::perms::owner_all);
    app::Form3& again = Open();
    EXPECT_TRUE(again.Option1->isChecked());
    again.Option3->click();
    Set(again);
    ASSERT_TRUE(fs::exists(sendToLink));  // its folder made on the way
    EXPECT_NE(ReadFile(sendToLink).find("MimeType="), std::string::npos);
    EXPECT_NE(ReadFile(sendToLink).find("video/mp2t;"), std::string::npos);
    EXPECT_EQ(std::system(("/usr/bin/desktop-file-validate '" + sendToLink + "'").c_str()), 0);
    // File managers now offer it for camcorder clips.
    if (fs::exists("/usr/bin/gio")) {
        const std::string listed = home / "listed";
        std::system(("XDG_DATA_DIRS=/usr/share /usr/bin/gio mime video/mp2t >'" + listed + "' 2>&1").c_str());
        EXPECT_NE(ReadFile(listed).find("Clipvane.desktop"), std::string::npos) << ReadFile(listed);
        // Opening clips with it starts the program in its folder with them.
        const std::string a = MakeFile("Videos/Birthday party.MTS"), b = MakeFile("Videos/b.MTS");
        std::system(("/usr/bin/gio launch '" + sendToLink + "' '" + a + "' '" + b + "' 2>&1").c_str());
        // The launched program writes its lines in its own time.
        const std::string expected = programFolder + "\n" + a + "\n" + b + "\n";
        QTest::qWaitFor([&] { return ReadFile(home / "launched") == expected; }, 10000);
        EXPECT_EQ(ReadFile(home / "launched"), expected);
    }
}

TEST_F(SettingWindowTest, RemovesWhatIsNoLongerWantedEvenReadOnly) {
    WriteFile(desktopLink, "x");
    WriteFile(sendToLink, "y");
    fs::permissions(desktopLink, fs::perms::owner_read, fs::perm_options::replace);
    app::Form3& w = Open();
    w.Option2->click();
    w.Option4->click();
    Set(w);
    EXPECT_FALSE(fs::exists(desktopLink));
    EXPECT_FALSE(fs::exists(sendToLink));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(SettingWindowTest, WhatWasOnDiskAtOpeningDecides) {
    app::Form3& w = Open();  // neither exists now
    WriteFile(desktopLink, "made by another program");
    w.Option1->click();
    Set(w);  // absent at opening and wanted: written anew
    EXPECT_NE(ReadFile(desktopLink).find("[Desktop Entry]"), std::string::npos);

    app::Form3& v = Open();  // exists now
    fs::remove(desktopLink);
    Set(v);  // present at opening and still wanted: nothing to do
    EXPECT_FALSE(fs::exists(desktopLink));
}

TEST_F(SettingWindowTest, TheCloseBoxChangesNothing) {
    app::Form3& w = Open();
    w.Option1->click();
    w.Option3->click();
    w.close();
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(fs::exists(desktopLink));
    EXPECT_FALSE(fs::exists(sendToLink));
}

TEST_F(SettingWindowTest, AFailureIsReportedAndTheOtherLauncherStillHandled) {
    // The place for the "Open With" launcher cannot hold a folder.
    WriteFile(home / ".local/share", "a file where a folder should be");
    app::Form3& w = Open();
    w.Option1->click();
    w.Option3->click();
    Set(w);
    EXPECT_TRUE(fs::exists(desktopLink));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("I'm sorry. The shortcut could not be created:\n" +
                                       QString::fromStdString(sendToLink) + "\n\n"))
        << messages[0].toStdString();
    EXPECT_FALSE(form->settingWindow() && form->settingWindow()->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(SettingWindowTest, ARemovalThatFindsNoFileIsReported) {
    WriteFile(desktopLink, "x");
    app::Form3& w = Open();
    fs::remove(desktopLink);
    w.Option2->click();
    Set(w);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("I'm sorry. The shortcut could not be removed:\n" +
                                       QString::fromStdString(desktopLink)));
}

}  // namespace
}  // namespace gui_test
