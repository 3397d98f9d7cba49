#include "ConverterWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "convert/RunTexts.h"

namespace app {

namespace {

const forms::Layout& kLayout = forms::kProgress;

void AddStyle(HWND control, LONG_PTR style) {
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | style);
}

// The converter's own output in a fixed-pitch face, at the windows' scale;
// made once, and kept as the windows' own font is.
HFONT MonoFont() {
    static const HFONT font = [] {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(9, ScreenDpi(), 72);
        lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        wcsncpy(lf.lfFaceName, L"Courier New", LF_FACESIZE - 1);
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

void Replace(HWND edit, LRESULT from, LRESULT to, const std::wstring& text) {
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(from), to);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT LineStart(HWND edit, LRESULT line) { return SendMessageW(edit, EM_LINEINDEX, line, 0); }
LRESULT LineCount(HWND edit) { return SendMessageW(edit, EM_GETLINECOUNT, 0, 0); }

}  // namespace

ConverterWindow::ConverterWindow(const std::string& name, int number, int count) {
    // Never activated, by click or by being shown: the main window keeps the focus.
    Create(kLayout, WS_EX_NOACTIVATE);
    SetText(hwnd, convert::ConvertingTitle(name));
    SetText(Control("Name"), name);
    SetText(Control("Place"), convert::PlaceText(number, count));
    AddStyle(Control("Name"), SS_ENDELLIPSIS);
    AddStyle(Control("Place"), SS_RIGHT);
    AddStyle(Control("Left"), SS_RIGHT);
    SendMessageW(bar(), PBM_SETRANGE32, 0, 100);
    SendMessageW(output(), EM_SETLIMITTEXT, 0, 0);
    if (HFONT mono = MonoFont()) SendMessageW(output(), WM_SETFONT, reinterpret_cast<WPARAM>(mono), FALSE);
    ShowDetails(false);
    ShowProgress({});
}

void ConverterWindow::Show() {
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
}

LRESULT ConverterWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return Window::Handle(message, wParam, lParam);
}

void ConverterWindow::Clicked(std::string_view name) {
    if (name != "Details") return;
    ShowDetails(!detailsShown_);
    // The button took the focus with the click: it goes back to the main window.
    if (avoid_ && GetForegroundWindow() == hwnd) SetForegroundWindow(avoid_);
}

void ConverterWindow::ShowProgress(const convert::FileProgress& progress) {
    SetText(Control("Elapsed"), convert::ElapsedText(progress.elapsed));
    SetText(Control("Left"), convert::TimeLeftText(progress.left));
    HWND bar = this->bar();
    // No length to measure against: the bar only says it is busy.
    if (busy_ != !progress.percent) {
        busy_ = !progress.percent;
        const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
        SetWindowLongPtrW(bar, GWL_STYLE, busy_ ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
        SendMessageW(bar, PBM_SETMARQUEE, busy_ ? TRUE : FALSE, 50);
    }
    if (progress.percent) SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(*progress.percent), 0);
    AddDetails(progress.newLines, progress.lastLine);
}

void ConverterWindow::AddDetails(const std::string& newLines, const std::string& lastLine) {
    HWND edit = output();
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const LRESULT firstShown = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SCROLLINFO scroll{sizeof scroll, SIF_ALL, 0, 0, 0, 0, 0};
    const bool endShown =
        !GetScrollInfo(edit, SB_VERT, &scroll) || scroll.nPos + static_cast<int>(scroll.nPage) > scroll.nMax;
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    // The line being written, the last (the box wraps none), gives way to what came.
    Replace(edit, LineStart(edit, LineCount(edit) - 1), GetWindowTextLengthW(edit), ToControlText(newLines + lastLine));
    const LRESULT gone = std::max<LRESULT>(0, LineCount(edit) - forms::kDetailsLines);
    const auto cut = static_cast<DWORD>(LineStart(edit, gone));
    if (gone) Replace(edit, 0, cut, L"");
    if (forms::FollowsOutput(endShown, start != end)) {
        // The last line in view from its start.
        const LRESULT last = LineStart(edit, LineCount(edit) - 1);
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(last), last);
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    } else {
        // The user's place among the lines kept.
        SendMessageW(edit, EM_SETSEL, start - std::min(start, cut), end - std::min(end, cut));
        SendMessageW(edit, EM_LINESCROLL, 0,
                     std::max<LRESULT>(0, firstShown - gone) - SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    if (detailsShown_) InvalidateRect(edit, nullptr, TRUE);
}

void ConverterWindow::ShowDetails(bool shown) {
    detailsShown_ = shown;
    ShowWindow(output(), shown ? SW_SHOWNA : SW_HIDE);
    PlaceBeside(avoid_);
}

void ConverterWindow::PlaceBeside(HWND avoid) {
    avoid_ = avoid;
    const int height = Pixels(detailsShown_ ? kLayout.clientHeight : forms::kProgressCompactHeight);
    avoid ? Window::PlaceBeside(avoid, height) : Shorten(height);
}

}  // namespace app
