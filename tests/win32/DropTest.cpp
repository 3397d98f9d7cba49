#include "WindowFixture.h"

namespace win32_test {
namespace {

TEST_F(WindowTest, ExplorerDropsOnTheLogBoxJoinTheListInTheirOrder) {
    const std::string a = MakeFile("Birthday party.MTS"), b = MakeFile("\u65e5\u672c.MTS");
    Load("");
    SendMessageW(form->Text1, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({b, a, b})), 0);
    EXPECT_EQ(Lines(*form), (std::vector<std::string>{b, a, b, "**Number of file(s): 3"}));
    EXPECT_EQ(form->files.iFileCount, 3);
    EXPECT_TRUE(messages.empty());
    // The box shows its end.
    DWORD start = 0;
    SendMessageW(form->Text1, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(start, static_cast<DWORD>(GetWindowTextLengthW(form->Text1)));
}

TEST_F(WindowTest, AFolderInADropStopsItThereWithOneMessage) {
    const std::string a = MakeFile("a.MTS"), b = MakeFile("b.MTS");
    const std::string folder = root / "Clips";
    wintest::MakeFolder(folder);
    Load("");
    SendMessageW(form->Text1, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a, folder, b})), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], folder + "\n\nI'm sorry. This software cannot handle folder(s).");
    EXPECT_EQ(Lines(*form), (std::vector<std::string>{a, "**Number of file(s): 1"}));
    EXPECT_EQ(app::FromControlText(app::TextOf(form->Command1)), "START");
}

TEST_F(WindowTest, ADropAnywhereElseDoesNothing) {
    const std::string a = MakeFile("a.MTS");
    Load("");
    const std::string before = form->LogText();
    for (HWND target : {form->hwnd, form->Command1, form->Label2, form->Frame1}) {
        HDROP drop = MakeDrop({a});
        SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        GlobalFree(drop);  // nobody took it
    }
    form->PumpEvents();
    EXPECT_EQ(form->LogText(), before);
    EXPECT_EQ(form->files.iFileCount, 0);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace win32_test
