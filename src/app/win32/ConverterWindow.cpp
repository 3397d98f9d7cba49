#include "ConverterWindow.h"

#include <commctrl.h>

#include "convert/RunTexts.h"

namespace app {

namespace {

const forms::Layout& kLayout = forms::kProgress;

void AddStyle(HWND control, LONG_PTR style) {
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | style);
}

// The converter's own output in a fixed-pitch face, at the windows' scale.
HFONT MonoFont() {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(9, ScreenDpi(), 72);
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcsncpy(lf.lfFaceName, L"Courier New", LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

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
    SendMessageW(output(), EM_SETREADONLY, TRUE, 0);
    SendMessageW(output(), EM_SETLIMITTEXT, 0, 0);
    mono_ = MonoFont();
    if (mono_) SendMessageW(output(), WM_SETFONT, reinterpret_cast<WPARAM>(mono_), FALSE);
    ShowDetails(false);
    ShowProgress({});
}

ConverterWindow::~ConverterWindow() {
    if (hwnd && IsWindow(hwnd)) {
        // The window goes before its font does.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    if (mono_) DeleteObject(mono_);
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
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
    const LRESULT firstShown = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    // A caret at the end follows the output; anywhere else it stays, and so does the view.
    const bool following = start == end && end == length;
    // The last line shown is the one being written: it gives way to what came.
    const LRESULT lastLineStart = SendMessageW(edit, EM_LINEINDEX, SendMessageW(edit, EM_GETLINECOUNT, 0, 0) - 1, 0);
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(lastLineStart), static_cast<LPARAM>(length));
    const std::wstring added = ToControlText(newLines + lastLine);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
    if (following) {
        const LRESULT now = GetWindowTextLengthW(edit);
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(now), now);
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    } else {
        SendMessageW(edit, EM_SETSEL, start, static_cast<LPARAM>(end));
        SendMessageW(edit, EM_LINESCROLL, 0, firstShown - SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    if (detailsShown_) InvalidateRect(edit, nullptr, TRUE);
}

void ConverterWindow::ShowDetails(bool shown) {
    detailsShown_ = shown;
    ShowWindow(output(), shown ? SW_SHOWNA : SW_HIDE);
    if (avoid_)
        PlaceBeside(avoid_);
    else
        FitHeight(Pixels(shown ? kLayout.clientHeight : forms::kProgressCompactHeight));
}

void ConverterWindow::PlaceBeside(HWND avoid) {
    avoid_ = avoid;
    Window::PlaceBeside(avoid, Pixels(detailsShown_ ? kLayout.clientHeight : forms::kProgressCompactHeight));
}

}  // namespace app
