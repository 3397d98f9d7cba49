#include "ConverterWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/Placement.h"

namespace app {

namespace {

using forms::Kind;
using text::N_;

// The window's controls in twips, as the other windows are designed; the
// output box lies below the compact window and shows only with Details.
constexpr forms::Control kControls[] = {
    {"Name", Kind::Label, "", "", {120, 120, 4800, 315}, 0},
    {"Place", Kind::Label, "", "", {5040, 120, 2040, 315}, 1},
    {"Bar", Kind::ProgressBar, "", "", {120, 510, 6960, 300}, 2},
    {"Elapsed", Kind::Label, "", "", {120, 930, 3420, 315}, 3},
    {"Left", Kind::Label, "", "", {3660, 930, 3420, 315}, 4},
    {"Details", Kind::Button, "", N_("Details"), {5520, 1365, 1560, 435}, 5},
    {"Output", Kind::TextBox, "", "", {120, 1920, 6960, 3300}, 6},
};
constexpr int kCompactHeight = 1920, kDetailsHeight = 5340;
constexpr forms::Layout kLayout{"", 7200, kCompactHeight, kControls, {}};
constexpr UINT_PTR kClockTimer = 1;
constexpr int kGap = 8;              // pixels between the windows
constexpr int kFewestDetails = 600;  // twips of output at the least

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

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ConverterWindow::ConverterWindow(const std::string& fileName, int number, int count) {
    // Never activated, by click or by being shown: the main window keeps the focus.
    Create(kLayout, WS_EX_NOACTIVATE);
    const std::string name = BaseName(fileName);
    SetText(hwnd, convert::ConvertingTitle(name));
    SetText(Control("Name"), name);
    SetText(Control("Place"), convert::PlaceText(number, count));
    AddStyle(Control("Name"), SS_ENDELLIPSIS);
    AddStyle(Control("Place"), SS_RIGHT);
    AddStyle(Control("Left"), SS_RIGHT);
    SendMessageW(bar(), PBM_SETRANGE32, 0, 100);
    HWND output = Control("Output");
    SendMessageW(output, EM_SETREADONLY, TRUE, 0);
    SendMessageW(output, EM_SETLIMITTEXT, 0, 0);
    mono_ = MonoFont();
    if (mono_) SendMessageW(output, WM_SETFONT, reinterpret_cast<WPARAM>(mono_), FALSE);
    ShowWindow(output, SW_HIDE);
    SetTimer(hwnd, kClockTimer, 500, nullptr);
    ShowProgress();
}

ConverterWindow::~ConverterWindow() {
    if (hwnd && IsWindow(hwnd)) {
        KillTimer(hwnd, kClockTimer);
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
    if (message == WM_TIMER && wParam == kClockTimer) {
        ShowProgress();
        return 0;
    }
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return Window::Handle(message, wParam, lParam);
}

void ConverterWindow::Clicked(std::string_view name) {
    if (name != "Details") return;
    ShowDetails(!detailsShown_);
    // The button took the focus with the click: it goes back to the main window.
    if (avoid_ && GetForegroundWindow() == hwnd) SetForegroundWindow(avoid_);
}

void ConverterWindow::AddOutput(const std::string& text) {
    progress_.Feed(text);
    console_.Add(text);
    if (detailsShown_) FillDetails();
    ShowProgress();
}

void ConverterWindow::ShowProgress() {
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
    SetText(Control("Elapsed"), convert::ElapsedText(spent));
    SetText(Control("Left"), convert::TimeLeftText(progress_, spent));
    const auto percent = progress_.Percent();
    HWND bar = this->bar();
    // No length to measure against: the bar only says it is busy.
    if (busy_ != !percent) {
        busy_ = !percent;
        const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
        SetWindowLongPtrW(bar, GWL_STYLE, busy_ ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
        SendMessageW(bar, PBM_SETMARQUEE, busy_ ? TRUE : FALSE, 50);
    }
    if (percent) SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(*percent), 0);
}

void ConverterWindow::FillDetails() {
    HWND output = Control("Output");
    SetWindowTextW(output, ToControlText(console_.Text()).c_str());
    const LRESULT length = GetWindowTextLengthW(output);
    SendMessageW(output, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(output, EM_SCROLLCARET, 0, 0);
}

void ConverterWindow::ShowDetails(bool shown) {
    detailsShown_ = shown;
    HWND output = Control("Output");
    const forms::Rect box = forms::InWindow(kLayout, forms::Find(kLayout, "Output"));
    SetWindowPos(output, nullptr, 0, 0, Pixels(box.width), Pixels(box.height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(output, shown ? SW_SHOWNA : SW_HIDE);
    RECT frame{0, 0, Pixels(kLayout.clientWidth), Pixels(shown ? kDetailsHeight : kCompactHeight)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (avoid_) PlaceBeside(avoid_);
    // Filled once its size is known, so that the last lines show.
    if (shown) FillDetails();
}

void ConverterWindow::PlaceBeside(HWND avoid) {
    avoid_ = avoid;
    RECT main{}, own{};
    GetWindowRect(avoid, &main);
    GetWindowRect(hwnd, &own);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (!GetMonitorInfoW(MonitorFromWindow(avoid, MONITOR_DEFAULTTONEAREST), &screen)) return;
    auto plain = [](const RECT& r) { return forms::Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}; };
    const int width = own.right - own.left;
    int height = own.bottom - own.top;
    forms::Rect spot = forms::PlaceBeside(plain(main), width, height, plain(screen.rcWork), kGap);
    if (detailsShown_ && (spot.width < width || spot.height < height)) {
        // Too little room for all of it: fewer lines of details, below or above.
        const RECT& work = screen.rcWork;
        const int room = std::max(work.bottom - main.bottom, main.top - work.top) - kGap;
        HWND output = Control("Output");
        RECT box{};
        GetWindowRect(output, &box);
        const int boxHeight = box.bottom - box.top - (height - room);
        if (boxHeight >= Pixels(kFewestDetails)) {
            SetWindowPos(output, nullptr, 0, 0, box.right - box.left, boxHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            height = room;
            spot = forms::PlaceBeside(plain(main), width, height, plain(screen.rcWork), kGap);
        }
    }
    SetWindowPos(hwnd, nullptr, spot.left, spot.top, spot.width, spot.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace app
