#include "WindowFixture.h"

namespace win32_test {
namespace {

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Caption(HWND h) { return app::FromControlText(app::TextOf(h)); }

TEST_F(WindowTest, LaysOutAsDesignedCentredWithStartFocused) {
    ASSERT_EQ(app::ScreenDpi(), 96) << "the rectangles below are at 96 dpi";
    Load("");
    RECT client{};
    GetClientRect(form->hwnd, &client);
    EXPECT_EQ(client.right, 446);
    EXPECT_EQ(client.bottom, 313);
    struct Case {
        HWND control;
        const char* caption;
        RECT rect;  // left, top, right, bottom in the window's client area
    } cases[] = {
        {form->Command3, "Setting", {160, 264, 233, 297}},
        {form->Command2, "About this software", {256, 264, 433, 297}},
        {form->Frame2, "Message", {8, 152, 433, 225}},
        {form->Label2, "", {16, 176, 425, 217}},
        {form->Frame1, "File to transfer", {8, 8, 433, 153}},
        {form->Text1, nullptr, {16, 32, 425, 145}},
        {form->Label1, "", {16, 32, 425, 145}},
        {form->Command1, "START", {8, 240, 137, 297}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ClientRect(c.control) == c.rect) << (c.caption ? c.caption : "Text1");
        if (c.caption) {
            EXPECT_EQ(Caption(c.control), c.caption);
        }
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(c.control, WM_GETFONT, 0, 0)), app::WindowFont());
    }
    EXPECT_EQ(Caption(form->hwnd), "Clipvane");
    const LONG_PTR style = GetWindowLongPtrW(form->hwnd, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_SYSMENU);
    const LONG_PTR edit = GetWindowLongPtrW(form->Text1, GWL_STYLE);
    EXPECT_TRUE((edit & ES_MULTILINE) && (edit & WS_VSCROLL));
    EXPECT_FALSE(edit & (ES_READONLY | WS_HSCROLL | ES_AUTOHSCROLL));  // editable, wrapping
    // Only the log box takes drops.
    EXPECT_TRUE(GetWindowLongPtrW(form->Text1, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(GetWindowLongPtrW(form->hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    // The label lies beneath the box that covers it.
    for (HWND h = GetWindow(form->Text1, GW_HWNDNEXT); h != form->Label1; h = GetWindow(h, GW_HWNDNEXT))
        ASSERT_NE(h, nullptr) << "Label1 is above Text1";

    RECT frame{}, work{};
    GetWindowRect(form->hwnd, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 1);
    EXPECT_EQ(GetFocus(), form->Command1);

    LOGFONTW font{};
    GetObjectW(app::WindowFont(), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -18);  // 13.5 points at 96 dpi
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    EXPECT_EQ(std::wstring(font.lfFaceName), app::FontFace());
    EXPECT_NE(SendMessageW(form->hwnd, WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(WindowTest, TabMovesStartAboutSettingLogBoxAndBack) {
    Load("");
    const std::vector<HWND> expected{form->Command2, form->Command3, form->Text1, form->Command1};
    std::vector<HWND> seen;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        PressTab(*form);
        seen.push_back(GetFocus());
    }
    EXPECT_EQ(seen, expected);
    EXPECT_NE(form->LogText().find("Please drag & drop"), std::string::npos);
    EXPECT_EQ(form->LogText().find('\t'), std::string::npos);  // no tab typed into the box

    // Enter presses the focused button: About opens, and its focused Close closes it.
    PressTab(*form);
    ASSERT_EQ(GetFocus(), form->Command2);
    Press(*form, VK_RETURN);
    ASSERT_NE(form->aboutWindow(), nullptr);
    EXPECT_EQ(GetFocus(), form->aboutWindow()->Command1);
    Press(*form, VK_RETURN);
    EXPECT_EQ(form->aboutWindow(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(form->hwnd));
}

// What the START button showed while the run was going, seen from its pump.
struct Observed {
    std::string caption;
    bool enabled = true;
    HWND close = nullptr;  // a window to close once the converter runs
    app::Form1* form = nullptr;
    std::string gate;  // the gated stand-in's steps, let go once seen
};
Observed* observed = nullptr;
void CALLBACK Observe(HWND, UINT, UINT_PTR id, DWORD) {
    if (!observed->form->supervisor.lConverterPid) return;
    KillTimer(nullptr, id);
    observed->caption = Caption(observed->form->Command1);
    observed->enabled = IsWindowEnabled(observed->form->Command1);
    if (observed->close) PostMessageW(observed->close, WM_CLOSE, 0, 0);
    if (!observed->gate.empty())
        for (const char* step : {"3", "6"}) wintest::WriteFile(observed->gate + step);
}

TEST_F(WindowTest, StartConvertsShowsConvertingThenFinishEndsTheProgram) {
    const std::string a = MakeFile("Birthday party.MTS"), b = MakeFile("b.MTS");
    UseFakeConverter("ok");
    // The first converter waits until the run's pump has seen it running.
    const std::string gate = root / "step";
    wintest::ScopedVariable gated(L"FAKE_FFMPEG_GATE", wintest::Wide(gate).c_str());
    Load("\"" + a + "\" \"" + b + "\"");
    EXPECT_EQ(Caption(form->Command1), "START");
    Observed seen{"", true, nullptr, form.get(), gate};
    observed = &seen;
    SetTimer(nullptr, 0, 10, Observe);
    SendMessageW(form->Command1, BM_CLICK, 0, 0);
    EXPECT_EQ(seen.caption, "Converting");
    EXPECT_FALSE(seen.enabled);
    EXPECT_EQ(Caption(form->Command1), "FINISH");
    EXPECT_TRUE(IsWindowEnabled(form->Command1));
    const std::vector<std::string> lines = Lines(*form);
    int successes = 0;
    for (const std::string& line : lines) successes += line.ends_with(" SUCCESS");
    EXPECT_EQ(successes, 2) << form->LogText();
    EXPECT_TRUE(wintest::Exists(desktop + "\\Birthday party.mp4"));
    EXPECT_TRUE(wintest::Exists(desktop + "\\b.mp4"));

    SendMessageW(form->Command1, BM_CLICK, 0, 0);
    EXPECT_TRUE(form->Unloaded());
    EXPECT_FALSE(IsWindowVisible(form->hwnd));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the program's loop ends
}

TEST_F(WindowTest, ClosingMidRunStopsTheConverterAndWritesNothingMore) {
    const std::string a = MakeFile("a.MTS");
    UseFakeConverter("hang");
    Load("\"" + a + "\"");
    Observed seen{"", true, form->hwnd, form.get(), {}};
    observed = &seen;
    SetTimer(nullptr, 0, 10, Observe);
    SendMessageW(form->Command1, BM_CLICK, 0, 0);  // returns once the close was handled
    ASSERT_EQ(seen.caption, "Converting");
    EXPECT_TRUE(form->Unloaded());
    platform::ChildProcess* converter = form->supervisor.Converter();
    ASSERT_NE(converter, nullptr);
    EXPECT_TRUE(converter->WaitFor(std::chrono::seconds(10)));
    const std::string log = form->LogText();
    EXPECT_EQ(log.find("FAIL"), std::string::npos) << log;
    EXPECT_EQ(log.find("**Finished**"), std::string::npos) << log;
    EXPECT_EQ(wintest::EntryCount(desktop), 0);
}

TEST_F(WindowTest, AboutAndSettingKeepTheMainWindowDisabledUntilClosedEitherWay) {
    Load("");
    struct Case {
        const char* name;
        HWND opener;
        bool byButton;
    } cases[] = {{"About, Close", form->Command2, true},
                 {"About, close box", form->Command2, false},
                 {"Setting, Set", form->Command3, true},
                 {"Setting, close box", form->Command3, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SendMessageW(c.opener, BM_CLICK, 0, 0);
        form->PumpEvents();
        app::Window* w = c.opener == form->Command2 ? static_cast<app::Window*>(form->aboutWindow())
                                                    : form->settingWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(IsWindowVisible(w->hwnd));
        EXPECT_FALSE(IsWindowEnabled(form->hwnd));
        EXPECT_FALSE(GetWindowLongPtrW(w->hwnd, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
        if (c.byButton)
            SendMessageW(w->Control("Command1"), BM_CLICK, 0, 0);
        else
            SendMessageW(w->hwnd, WM_CLOSE, 0, 0);
        form->PumpEvents();
        EXPECT_TRUE(w->Closed());
        EXPECT_TRUE(IsWindowEnabled(form->hwnd));
        EXPECT_EQ(form->aboutWindow(), nullptr);
        EXPECT_EQ(form->settingWindow(), nullptr);
    }
    EXPECT_EQ(wintest::EntryCount(desktop), 0);  // closing Setting changed nothing
    EXPECT_EQ(wintest::EntryCount(sendTo), 0);
}

TEST_F(WindowTest, AboutShowsTheVersionWithCloseFocused) {
    Load("");
    SendMessageW(form->Command2, BM_CLICK, 0, 0);
    app::Form2& about = *form->aboutWindow();
    EXPECT_EQ(Caption(about.hwnd), "About this software");
    EXPECT_EQ(app::TextOf(about.Label1), L"Version 1.2\r\nThank you for using my application.");
    EXPECT_EQ(Caption(about.Command1), "Close");
    EXPECT_EQ(GetFocus(), about.Command1);
    RECT client{};
    GetClientRect(about.hwnd, &client);
    EXPECT_EQ(client.right, 562);
    EXPECT_EQ(client.bottom, 182);
    EXPECT_TRUE(ClientRect(about.Command1) == (RECT{216, 144, 329, 177}));
}

// Below the main window on an 800 x 600 screen, the progress window and the
// summary are shorter and all they hold is inside them; a progress line wider
// than the details stays one line, replaced whole by each update.
TEST_F(WindowTest, OnAShortScreenTheProgressWindowAndSummaryKeepWhatTheyHoldInside) {
    RECT screen{}, small{0, 0, 800, 600};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &small, 0);
    Load("");
    SetWindowPos(form->hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    app::ConverterWindow progress("a.MTS", 1, 1);
    progress.PlaceBeside(form->hwnd);
    SendMessageW(progress.Control("Details"), BM_CLICK, 0, 0);
    const std::string line =
        "frame=  123 fps= 45 q=28.0 size=    1024kB time=00:00:04.10 bitrate=2046.1kbits/s speed=1.5x    ";
    for (int i = 0; i < 3; ++i) progress.ShowProgress({i, std::chrono::seconds(i), {}, i ? "" : "Input #0\n", line});
    EXPECT_EQ(Caption(progress.output()), "Input #0\n" + line);
    EXPECT_EQ(SendMessageW(progress.output(), EM_GETLINECOUNT, 0, 0), 2);
    EXPECT_EQ(GetScrollPos(progress.output(), SB_HORZ), 0);  // its start in view
    app::SummaryWindow summary({{"a.MTS", {convert::FailureKind::kCannotStart, ""}}}, 1);
    summary.ShowBeside(form->hwnd);
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &screen, 0);
    for (const auto& [window, layout] :
         {std::pair<app::Window*, const forms::Layout*>{&progress, &forms::kProgress}, {&summary, &forms::kSummary}}) {
        RECT client{}, frame{};
        GetClientRect(window->hwnd, &client);
        GetWindowRect(window->hwnd, &frame);
        EXPECT_LE(frame.bottom, small.bottom);
        EXPECT_LT(client.bottom, app::Pixels(layout->clientHeight));
        for (const forms::Control& c : layout->controls) {
            const RECT r = ClientRect(window->Control(c.name));
            EXPECT_TRUE(r.top >= 0 && r.bottom <= client.bottom && r.right <= client.right) << c.name;
        }
    }
}

TEST(ConverterWindowTest, DetailsKeepTheirLastLinesAndTheUsersPlaceWhileOutputArrives) {
    app::ConverterWindow window("a.MTS", 1, 1);
    SendMessageW(window.Control("Details"), BM_CLICK, 0, 0);
    HWND output = window.output();
    std::string lines;
    for (int i = 0; i < forms::kDetailsLines + 80; ++i) lines += "line " + std::to_string(i) + "\n";
    window.ShowProgress({50, std::chrono::seconds(1), std::nullopt, lines, "frame=  1"});
    EXPECT_EQ(SendMessageW(output, EM_GETLINECOUNT, 0, 0), forms::kDetailsLines);
    // The user scrolls up and selects a word there.
    const auto word = static_cast<DWORD>(SendMessageW(output, EM_LINEINDEX, 10, 0));
    SendMessageW(output, EM_SETSEL, word, word + 4);
    SendMessageW(output, EM_LINESCROLL, 0, -10000);
    SendMessageW(output, EM_LINESCROLL, 0, 3);
    const LRESULT firstShown = SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0);
    window.ShowProgress({60, std::chrono::seconds(2), std::nullopt, "frame=  1\nmore\n", "frame=  2"});
    DWORD start = 0, end = 0;
    SendMessageW(output, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(std::pair(start, end), std::pair(word - 18, word - 14));  // two lines of 9 characters went
    EXPECT_EQ(SendMessageW(output, EM_GETFIRSTVISIBLELINE, 0, 0), firstShown - 2);
    const std::string text = Caption(output);
    EXPECT_TRUE(text.starts_with("line 83\n") && text.ends_with("line 2079\nframe=  1\nmore\nframe=  2"));
}

}  // namespace
}  // namespace win32_test
