#include <gtest/gtest.h>

#include <filesystem>

#include "intake/CommandLineIntake.h"
#include "intake/DropIntake.h"
#include "intake/ShowFileList.h"
#include "platform/Platform.h"
#include "support/FakeEnvironment.h"
#include "support/FakeView.h"
#include "support/TempFolder.h"

namespace {

using Lines = std::vector<std::string>;
const std::string kRefusal = "I'm sorry. This software cannot handle folder(s).";

class IntakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform_ = platform::MakeNativePlatform(0, nullptr);
        a = folder / "Birthday party.MTS";
        b = folder / "beach.MTS";
        dir = folder / "Card";
        testing_support::WriteFile(a);
        testing_support::WriteFile(b);
        std::filesystem::create_directories(dir);
    }
    // Runs the load event on an unsplit argument string.
    void LoadString(const std::string& line) {
        environment.arguments = {line, std::nullopt};
        Load();
    }
    // Runs the load event on arguments already made into raw tokens.
    void LoadTokens(std::vector<std::string> tokens) {
        environment.arguments = {"", std::move(tokens)};
        Load();
    }
    void Load() {
        intake::LoadFromCommandLine(list, environment, *platform_.names, *platform_.files, view);
    }
    void Drop(const std::vector<std::string>& paths) {
        intake::DropFiles(list, paths, *platform_.names, *platform_.files, view);
    }
    static std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
    // The conversion form the system gives (an 8.3 name on Windows).
    std::string Short(const std::string& path) { return platform_.names->ShortPath(path); }

    testing_support::TempFolder folder;
    platform::Platform platform_;
    testing_support::FakeEnvironment environment;
    testing_support::FakeView view;
    intake::FileList list;
    std::string a, b, dir;
};

TEST_F(IntakeTest, RenderingReplacesEverythingAndEndsWithTheCount) {
    struct Case {
        Lines names;
        std::string text;
    };
    const Case cases[] = {
        {{}, "**Number of file(s): 0"},
        {{""}, "\n**Number of file(s): 1"},
        {{"x", "x"}, "x\nx\n**Number of file(s): 2"},
    };
    for (const auto& c : cases) {
        intake::FileList l;
        for (const auto& n : c.names) l.Append(n, n);
        view.text = "an earlier log\nNo. 1: x... SUCCESS";
        intake::ShowFileList(l, view);
        EXPECT_EQ(view.text, c.text);
        EXPECT_EQ(view.caret, view.text.size());
    }
}

TEST_F(IntakeTest, NoArgumentsShowsUsageAndKeepsTheListEmpty) {
    LoadString("");
    EXPECT_EQ(view.Lines(),
              (Lines{"Please drag & drop video file(s) here.",
                     "Drag & Dropping video file(s) to the Desktop icon is also OK.", "To change the setting, ",
                     platform::kNativeFileMenu == platform::FileMenu::kSendTo
                         ? "please right click and \"send to\" video file(s)."
                         : "right-click the video files and choose Clipvane under \"Open With\".",
                     ""}));
    EXPECT_EQ(view.caret, view.text.size());
    EXPECT_EQ(list.iFileCount, 0);
    EXPECT_EQ(list.sTempFolder, "TEMPFOLDER");
    LoadTokens({});
    EXPECT_EQ(view.Lines().front(), "Please drag & drop video file(s) here.");
}

TEST_F(IntakeTest, SpacesOnlyIsAnEmptyListNotUsage) {
    LoadString("   ");
    EXPECT_EQ(view.text, "**Number of file(s): 0");
}

TEST_F(IntakeTest, QuotedAndUnquotedArguments) {
    LoadString(Quoted(a) + "   " + b + " ");
    EXPECT_EQ(view.Lines(), (Lines{a, b, "**Number of file(s): 2"}));
    EXPECT_EQ(list.sShortNames, (Lines{Short(a), Short(b)}));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.caption, "START");
}

TEST_F(IntakeTest, OddTokensAreListedAsTheyCome) {
    // Characters after a closing quote are dropped; two quotes alone are an
    // empty entry; an unterminated last quote is discarded.
    LoadString(Quoted(a) + "x \"\" " + b + " \"" + folder / "unterminated");
    EXPECT_EQ(view.Lines(), (Lines{a, "", b, "**Number of file(s): 3"}));
    EXPECT_EQ(list.sShortNames, (Lines{Short(a), "", Short(b)}));
}

TEST_F(IntakeTest, MissingFiles) {
    // Unquoted: no long form, so an empty line; quoted: shown as written.
    const std::string missing = folder / "missing.MTS";
    LoadString(missing + " " + Quoted(missing));
    EXPECT_EQ(view.Lines(), (Lines{"", missing, "**Number of file(s): 2"}));
    EXPECT_EQ(list.sShortNames, (Lines{"", ""}));
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(IntakeTest, DoubledQuotesInsideQuotesStay) {
    LoadString("\"" + folder / "a\"\"b.MTS\"");
    EXPECT_EQ(list.sLongNames, (Lines{folder / "a\"\"b.MTS"}));
}

TEST_F(IntakeTest, FoldersGetOneMessageEachAndTurnStartIntoFinish) {
    const std::string dir2 = folder / "Card Two";
    std::filesystem::create_directories(dir2);
    LoadString(Quoted(a) + " " + dir + " " + b + " " + Quoted(dir2));
    EXPECT_EQ(view.Lines(), (Lines{a, dir, b, dir2, "**Number of file(s): 4"}));
    EXPECT_EQ(view.messages, (Lines{dir + "\n\n" + kRefusal, dir2 + "\n\n" + kRefusal}));
    EXPECT_EQ(view.caption, "FINISH");
    EXPECT_TRUE(view.enabled);
}

TEST_F(IntakeTest, TheSameFileTwiceIsListedTwice) {
    LoadString(Quoted(a) + " " + Quoted(a));
    EXPECT_EQ(list.iFileCount, 2);
    Drop({a});
    EXPECT_EQ(view.Lines(), (Lines{a, a, a, "**Number of file(s): 3"}));
}

TEST_F(IntakeTest, CommandLineIntakeStartsFromAnEmptyList) {
    list.Append("old", "old");
    LoadString(Quoted(a));
    EXPECT_EQ(list.sLongNames, (Lines{a}));
}

TEST_F(IntakeTest, DropsAppendAsDeliveredAndRenderEveryTime) {
    LoadString("");  // usage text shown
    Drop({b, a});
    EXPECT_EQ(view.Lines(), (Lines{b, a, "**Number of file(s): 2"}));
    Drop({});
    EXPECT_EQ(view.Lines(), (Lines{b, a, "**Number of file(s): 2"}));
    const std::string vanished = folder / "gone.MTS";
    Drop({vanished});
    EXPECT_EQ(list.sLongNames.back(), vanished);
    EXPECT_EQ(list.sShortNames.back(), "");
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(IntakeTest, AFolderStopsTheDropButLeavesTheButton) {
    LoadString(Quoted(a));
    Drop({b, dir, a});
    EXPECT_EQ(view.Lines(), (Lines{a, b, "**Number of file(s): 2"}));
    EXPECT_EQ(view.messages, (Lines{dir + "\n\n" + kRefusal}));
    EXPECT_EQ(view.caption, "START");

    view.messages.clear();
    list = {};
    LoadString("");
    Drop({dir, a});
    EXPECT_EQ(view.text, "**Number of file(s): 0");
    EXPECT_EQ(view.messages.size(), 1u);
}

TEST_F(IntakeTest, TheListHoldsAtMost32767AndSaysSoOnce) {
    std::vector<std::string> tokens(40000, "\"" + a + "\"");
    LoadTokens(tokens);
    EXPECT_EQ(list.iFileCount, 32767);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].find("No more file(s) can be added"), std::string::npos);
    EXPECT_EQ(view.Lines().back(), "**Number of file(s): 32767");

    view.messages.clear();
    Drop({a, b});
    EXPECT_EQ(list.iFileCount, 32767);
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.Lines().back(), "**Number of file(s): 32767");
}

TEST_F(IntakeTest, ADropFillsTheListUpToItsEnd) {
    LoadTokens(std::vector<std::string>(32766, "\"" + a + "\""));
    EXPECT_TRUE(view.messages.empty());
    Drop({b, a, a});
    EXPECT_EQ(list.iFileCount, 32767);
    EXPECT_EQ(list.sLongNames.back(), b);
    EXPECT_EQ(view.messages.size(), 1u);
}

#ifndef _WIN32
TEST_F(IntakeTest, UnquotedTokensTakeTheStoredLongForm) {
    // A path through "." and a doubled separator still names the file.
    LoadTokens({folder.str() + "/./beach.MTS", folder.str() + "//beach.MTS"});
    EXPECT_EQ(list.sLongNames, (Lines{folder.str() + "/./beach.MTS", b}));
    EXPECT_EQ(list.sShortNames[1], b);
}
#endif

}  // namespace
