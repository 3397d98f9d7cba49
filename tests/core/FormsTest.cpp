#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "forms/FormLayouts.h"
#include "forms/Placement.h"
#include "forms/RunSetup.h"
#include "forms/SettingForm.h"
#include "forms/Watching.h"
#include "support/Environment.h"
#include "support/FakeEnvironment.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

using forms::Rect;
using testing_support::ReadFile;
using testing_support::WriteFile;
namespace fs = std::filesystem;

Rect Pixels(const forms::Layout& layout, std::string_view name, int dpi = 96) {
    const Rect r = forms::InWindow(layout, forms::Find(layout, name));
    return {forms::ToPixels(r.left, dpi), forms::ToPixels(r.top, dpi), forms::ToPixels(r.width, dpi),
            forms::ToPixels(r.height, dpi)};
}

TEST(FormLayouts, ControlsSitInTheWindowWhereTheirContainersPutThem) {
    struct Case {
        const forms::Layout& layout;
        std::string_view name;
        Rect pixels;
    } cases[] = {
        {forms::kForm1, "Command1", {8, 240, 129, 57}},
        {forms::kForm1, "Frame1", {8, 8, 425, 145}},
        {forms::kForm1, "Text1", {16, 32, 409, 113}},
        {forms::kForm1, "Label1", {16, 32, 409, 113}},
        {forms::kForm1, "Label2", {16, 176, 409, 41}},
        {forms::kForm2, "Command1", {216, 144, 113, 33}},
        {forms::kForm3, "Option1", {40, 48, 97, 25}},
        {forms::kForm3, "Option4", {160, 152, 89, 33}},
    };
    for (const Case& c : cases) EXPECT_EQ(Pixels(c.layout, c.name), c.pixels) << c.name;
    // Every control lies inside its window's client area.
    for (const forms::Layout* layout : {&forms::kForm1, &forms::kForm2, &forms::kForm3})
        for (const forms::Control& c : layout->controls) {
            const Rect r = forms::InWindow(*layout, c);
            EXPECT_LE(r.left + r.width, layout->clientWidth) << c.name;
            EXPECT_LE(r.top + r.height, layout->clientHeight) << c.name;
        }
}

TEST(FormLayouts, ScalesToTheScreensDensity) {
    EXPECT_EQ(Pixels(forms::kForm1, "Command1", 120), (Rect{10, 300, 161, 71}));
    EXPECT_EQ(Pixels(forms::kForm1, "Command1", 192), (Rect{16, 480, 258, 114}));
    EXPECT_EQ(forms::ToPixels(forms::kForm1.clientWidth, 96), 446);
    EXPECT_EQ(forms::ToPixels(forms::kForm1.clientHeight, 144), 470);
}

TEST(FormLayouts, TabMovesThroughTheControlsThatTakeTheFocus) {
    using Names = std::vector<std::string_view>;
    EXPECT_EQ(forms::FocusOrder(forms::kForm1), (Names{"Command1", "Command2", "Command3", "Text1"}));
    EXPECT_EQ(forms::FocusOrder(forms::kForm2), (Names{"Command1"}));
    EXPECT_EQ(forms::FocusOrder(forms::kForm3),
              (Names{"Option1", "Option2", "Command1", "Option3", "Option4"}));
    EXPECT_EQ(forms::kAboutText, "Version 1.2\nThank you for using my application.");
    EXPECT_THROW(forms::Find(forms::kForm2, "Text1"), std::out_of_range);
}

TEST(RunSetup, ResultsGoToTheProgramsOwnFolderOnlyWithoutATemp) {
    platform::Platform p = platform::MakeNativePlatform(0, nullptr);
    testing_support::SetEnv("TEMP", "somewhere");
    EXPECT_FALSE(forms::MakeRunServices(p).privateTempFolder);
    testing_support::UnsetEnv("TEMP");
    EXPECT_TRUE(forms::MakeRunServices(p).privateTempFolder);
    EXPECT_EQ(&forms::MakeRunServices(p).files, p.files.get());
}

// A run's end needs no notice while the main window is active, or just after
// the progress window handed the focus back to it; a later start forgets that.
TEST(WatchingTest, TheMainWindowActiveOrJustGivenTheFocusBackByTheProgressWindow) {
    forms::Watching w;
    EXPECT_TRUE(w.AtRunEnd(true) && !w.AtRunEnd(false));
    EXPECT_FALSE(w.ProgressClosed(true, false) || w.AtRunEnd(false));  // no main window shown to take it
    EXPECT_TRUE(w.ProgressClosed(true, true) && w.AtRunEnd(false));
    w.Started();
    EXPECT_FALSE(w.AtRunEnd(false));
}

// The option buttons and the main window as plain values.
class FakeSettingView : public forms::SettingView {
public:
    bool mainEnabled = true, desktop = false, sendTo = false, unloaded = false;
    std::vector<std::string> messages;
    void SetMainWindowEnabled(bool enabled) override { mainEnabled = enabled; }
    void SetDesktopChoice(bool yes) override { desktop = yes; }
    void SetSendToChoice(bool enabled) override { sendTo = enabled; }
    bool DesktopChoice() override { return desktop; }
    bool SendToChoice() override { return sendTo; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void Unload() override { unloaded = true; }
};

class SettingFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform_ = platform::MakeNativePlatform(0, nullptr);
        auto folders = std::make_unique<testing_support::FixedFolders>();
        folders->desktop = root / "Desktop";
        folders->sendTo = root / "SendTo";
        folders_ = folders.get();
        platform_.folders = std::move(folders);
        auto env = std::make_unique<testing_support::FakeEnvironment>();
        env->programFolder = root / "program";
        platform_.environment = std::move(env);
        fs::create_directories(folders_->desktop);
        desktopLink = (fs::path(folders_->desktop) / platform_.shortcuts->FileName()).string();
        sendToLink = (fs::path(folders_->sendTo) / platform_.shortcuts->FileName()).string();
    }
    testing_support::TempFolder root;
    platform::Platform platform_;
    testing_support::FixedFolders* folders_ = nullptr;
    FakeSettingView view;
    std::string desktopLink, sendToLink;
};

TEST_F(SettingFormTest, LoadReadsWhatIsOnDiskAndSetFollowsTheTable) {
    struct Case {
        const char* name;
        bool existed, wanted;
        bool existsAfter, untouched;
    } cases[] = {
        {"absent, wanted: created", false, true, true, false},
        {"present, wanted: left as it is", true, true, true, true},
        {"present, unwanted: removed", true, false, false, false},
        {"absent, unwanted: nothing", false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& link : {desktopLink, sendToLink}) {
            fs::remove(link);
            if (c.existed) WriteFile(link, "made by someone");
        }
        view = FakeSettingView{};
        forms::SettingForm form(platform_, view);
        form.Form_Load();
        EXPECT_FALSE(view.mainEnabled);
        EXPECT_EQ(view.desktop, c.existed);
        EXPECT_EQ(view.sendTo, c.existed);
        EXPECT_EQ(form.bDesktopLinkExisted, c.existed);
        EXPECT_EQ(form.sDesktopLink, desktopLink);
        EXPECT_EQ(form.sTargetPath, (fs::path(root / "program") / platform_.shortcuts->TargetName()).string());
        view.desktop = view.sendTo = c.wanted;
        form.Command1_Click();
        EXPECT_TRUE(view.unloaded);
        EXPECT_TRUE(view.messages.empty());
        for (const std::string& link : {desktopLink, sendToLink}) {
            EXPECT_EQ(fs::exists(link), c.existsAfter) << link;
            if (c.existsAfter) {
                EXPECT_EQ(ReadFile(link) == "made by someone", c.untouched) << link;
            }
        }
        form.Form_Unload();
        EXPECT_TRUE(view.mainEnabled);
    }
}

TEST_F(SettingFormTest, ALauncherThatCannotBeMadeOrRemovedIsReportedAndTheOtherStillHandled) {
    // The Send To folder is a file, so nothing can be written into it.
    WriteFile(folders_->sendTo, "not a folder");
    WriteFile(desktopLink, "old");
    forms::SettingForm form(platform_, view);
    form.Form_Load();
    fs::remove(desktopLink);  // gone before "Set" removes it
    view.desktop = false;
    view.sendTo = true;
    form.Command1_Click();
    // The removal that found nothing first, then the launcher that could not be made.
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].rfind("I'm sorry. The shortcut could not be removed:\n" + desktopLink + "\n\n", 0), 0u)
        << view.messages[0];
    EXPECT_EQ(view.messages[1].rfind("I'm sorry. The shortcut could not be created:\n" + sendToLink + "\n\n", 0), 0u)
        << view.messages[1];
    EXPECT_TRUE(view.unloaded);
    EXPECT_FALSE(view.mainEnabled);  // until the window's unload

    // A folder of the launcher's name is not a launcher.
    view = FakeSettingView{};
    fs::remove(folders_->sendTo);
    fs::create_directories(sendToLink);
    forms::SettingForm again(platform_, view);
    again.Form_Load();
    EXPECT_FALSE(again.bSendToLinkExisted);
    EXPECT_FALSE(view.sendTo);
}

// The progress window and the summary keep clear of the main window on the
// main window's monitor: beside it, below, above, at its left; with no room
// for all of it, in the tallest band as wide as it is, shrunk.
TEST(PlacementTest, BesideBelowAboveLeftOnTheMainWindowsMonitorElseShrunk) {
    const forms::Rect summary{0, 0, 496, 344}, progress{0, 0, 480, 150};
    const struct {
        const char* where;
        forms::Rect room, main, window, expected;
    } rows[] = {
        {"1920 wide: beside", {0, 0, 1920, 1040}, {737, 383, 446, 340}, summary, {1191, 383, 496, 344}},
        {"1280 x 800: below, shorter", {0, 0, 1280, 800}, {417, 230, 446, 340}, summary, {417, 578, 496, 222}},
        {"1024 x 768: below", {0, 0, 1024, 768}, {289, 227, 446, 313}, progress, {289, 548, 480, 150}},
        {"at the right edge: left", {0, 0, 1024, 768}, {578, 100, 446, 340}, summary, {74, 100, 496, 344}},
        {"second monitor", {1920, 0, 1280, 1024}, {2020, 100, 446, 340}, summary, {2474, 100, 496, 344}},
        {"monitor left of the primary: above",
         {-1280, 0, 1280, 1024},
         {-880, 600, 446, 340},
         summary,
         {-880, 248, 496, 344}},
        {"no band has the width: the largest, narrower",
         {0, 0, 1024, 768},
         {200, 0, 446, 768},
         summary,
         {654, 0, 370, 344}},
        {"the main window fills it: off it", {0, 0, 1024, 768}, {0, 0, 1024, 768}, summary, {0, 776, 496, 344}},
    };
    for (const auto& row : rows) {
        const forms::Rect spot = forms::PlaceBeside(row.main, row.window.width, row.window.height, row.room);
        EXPECT_EQ(spot, row.expected) << row.where;
        const bool apart = spot.left >= row.main.left + row.main.width || spot.left + spot.width <= row.main.left ||
                           spot.top >= row.main.top + row.main.height || spot.top + spot.height <= row.main.top;
        EXPECT_TRUE(apart) << row.where;
    }
    // Shorter, the summary's list gives up the height and its button moves up with the bottom.
    const auto shortened = [](std::string_view name) {
        return forms::Shortened(forms::kSummary, forms::Find(forms::kSummary, name), 3210);
    };
    EXPECT_EQ(shortened("Text1"), (forms::Rect{120, 840, 7200, 1635}));
    EXPECT_EQ(shortened("Command1"), (forms::Rect{5625, 2595, 1695, 495}));
    EXPECT_EQ(shortened("Label1"), (forms::Rect{120, 120, 7200, 615}));
}

}  // namespace
