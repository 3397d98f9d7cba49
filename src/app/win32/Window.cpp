#include "Window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <map>
#include <vector>

#include "forms/Placement.h"
#include "text/Translate.h"

namespace app {

namespace {

constexpr wchar_t kClassName[] = L"ClipvaneWindow";
constexpr int kFirstId = 100;  // clear of IDOK and IDCANCEL, which the dialog manager sends

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFace(const wchar_t* face, BYTE charset) {
    LOGFONTW wanted{};
    wanted.lfCharSet = charset;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

ATOM RegisterOnce(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = WindowIcon(false);
        wc.hIconSm = WindowIcon(true);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

struct ControlStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlStyle StyleOf(forms::Kind kind) {
    switch (kind) {
    case forms::Kind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case forms::Kind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
    case forms::Kind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case forms::Kind::Option: return {L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case forms::Kind::TextBox:
        // Multi-line, wrapped at the box's width, with a vertical scroll bar.
        return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case forms::Kind::Console:
        return {L"EDIT",
                ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case forms::Kind::ProgressBar: return {PROGRESS_CLASSW, PBS_SMOOTH, 0};
    case forms::Kind::RichText:
        return {MSFTEDIT_CLASS, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0, 0};
}

}  // namespace

std::wstring ToControlText(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size() + utf8.size() / 16);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) text += '\r';
        text += utf8[i];
    }
    return Wide(text);
}

std::string FromControlText(std::wstring_view text) {
    std::wstring plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) plain += text[i];
    return Utf8(plain);
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetText(HWND control, std::string_view utf8) {
    SetWindowTextW(control, ToControlText(utf8).c_str());
}

int ScreenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int d = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return d > 0 ? d : 96;
    }();
    return dpi;
}

int Pixels(int twips) { return forms::ToPixels(twips, ScreenDpi()); }

namespace {

struct Face {
    std::wstring name;
    BYTE charset;
};

// "System" in Shift-JIS where the system has it, else its message font. In
// Japanese, Chinese and Korean, the faces those Windows use for their own
// windows, else whichever face the font mapper has for the language's
// character set: a Western face would show boxes.
Face ChooseFace(const std::string& language) {
    struct Native {
        const char* language;
        BYTE charset;
        std::vector<const wchar_t*> faces;
    };
    static const Native natives[] = {
        {"ja", SHIFTJIS_CHARSET, {L"Meiryo UI", L"MS UI Gothic", L"System"}},
        {"zh_CN", GB2312_CHARSET, {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun"}},
        {"zh_TW", CHINESEBIG5_CHARSET, {L"Microsoft JhengHei UI", L"Microsoft JhengHei", L"PMingLiU"}},
        {"ko", HANGEUL_CHARSET, {L"Malgun Gothic", L"Gulim"}},
    };
    for (const auto& native : natives) {
        if (language != native.language) continue;
        for (const wchar_t* face : native.faces)
            if (HasFace(face, native.charset)) return {face, native.charset};
        return {L"", native.charset};
    }
    if (HasFace(L"System", SHIFTJIS_CHARSET)) return {L"System", SHIFTJIS_CHARSET};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0])
        return {metrics.lfMessageFont.lfFaceName, DEFAULT_CHARSET};
    return {L"MS Shell Dlg 2", DEFAULT_CHARSET};
}

// One font per language, made when first asked for.
const std::pair<Face, HFONT>& FontFor(const std::string& language) {
    static std::map<std::string, std::pair<Face, HFONT>> fonts;
    auto found = fonts.find(language);
    if (found != fonts.end()) return found->second;
    Face face = ChooseFace(language);
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(135, ScreenDpi(), 720);  // 13.5 points
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = face.charset;
    wcsncpy(lf.lfFaceName, face.name.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    return fonts.emplace(language, std::pair{std::move(face), font}).first->second;
}

}  // namespace

std::wstring FontFace() { return FontFor(text::Language()).first.name; }

HFONT WindowFont() { return FontFor(text::Language()).second; }

HICON WindowIcon(bool small) {
    const int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

Window::~Window() {
    if (hwnd && IsWindow(hwnd)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
}

HWND Window::Control(std::string_view name) const {
    for (const auto& [n, h] : controls_)
        if (n == name) return h;
    return nullptr;
}

int TextTwips(const std::string& text) {
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, WindowFont());
    const std::wstring wide = ToControlText(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return MulDiv(size.cx, 1440, ScreenDpi());
}

void Window::Create(const forms::Layout& designed, DWORD exStyle) {
    [[maybe_unused]] static const bool commonControls = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    // The rich edit control's class comes with its library.
    static bool richEdit = false;
    for (const forms::Control& c : designed.controls)
        if (c.kind == forms::Kind::RichText && !richEdit) richEdit = LoadLibraryW(L"Msftedit.dll") != nullptr;
    RegisterOnce(Procedure);
    fitted_ = std::make_unique<const forms::FittedLayout>(designed, platform::kNativeFileMenu, TextTwips);
    const forms::Layout& layout = fitted_->layout();
    layout_ = &layout;
    // Not WS_CLIPCHILDREN: the window paints the inside of its frames.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, Pixels(layout.clientWidth), Pixels(layout.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const std::wstring caption = Wide(forms::Shown(layout.caption));
    hwnd = CreateWindowExW(exStyle, kClassName, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                           GetModuleHandleW(nullptr), this);

    const HFONT font = WindowFont();
    bool previousWasOption = false;
    for (const forms::Control* c : forms::ByTabIndex(layout)) {
        const ControlStyle kind = StyleOf(c->kind);
        const forms::Rect r = forms::InWindow(layout, *c);
        const bool option = c->kind == forms::Kind::Option;
        // A run of option buttons is one group: exactly one of them is on.
        const DWORD group = option && previousWasOption ? 0 : WS_GROUP;
        previousWasOption = option;
        const int id = kFirstId + static_cast<int>(c - layout.controls.data());
        HWND control =
            CreateWindowExW(kind.exStyle, kind.className, ToControlText(forms::Shown(c->caption)).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | group | kind.style, Pixels(r.left), Pixels(r.top),
                            Pixels(r.width), Pixels(r.height), hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls_.emplace_back(c->name, control);
    }
    // Frames lie beneath what they hold; they only group and title.
    for (const forms::Control& c : layout.controls)
        if (c.kind == forms::Kind::Frame)
            SetWindowPos(Control(c.name), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(WindowIcon(false)));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(WindowIcon(true)));
}

forms::Rect WorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    // The primary monitor's as the system keeps it, which Wine's monitor information lags.
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor) ||
        (monitor.dwFlags & MONITORINFOF_PRIMARY))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    const RECT& r = monitor.rcWork;
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

SIZE Window::FrameSize(int clientHeight) const {
    RECT frame{0, 0, Pixels(layout_->clientWidth), clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void Window::Shorten(int clientHeight) {
    const SIZE frame = FrameSize(clientHeight);
    SetWindowPos(hwnd, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int twips = MulDiv(clientHeight, 1440, ScreenDpi());
    for (const auto& [name, control] : controls_) {
        const forms::Control& c = forms::Find(*layout_, name);
        if (!c.container.empty()) continue;  // moves with its frame
        const forms::Rect r = forms::Shortened(*layout_, c, twips);
        SetWindowPos(control, nullptr, Pixels(r.left), Pixels(r.top), Pixels(r.width), Pixels(r.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::PlaceBeside(HWND avoid, int clientHeight) {
    RECT main{};
    GetWindowRect(avoid, &main);
    const SIZE frame = FrameSize(clientHeight);
    const forms::Rect spot = forms::PlaceBeside({main.left, main.top, main.right - main.left, main.bottom - main.top},
                                                frame.cx, frame.cy, WorkArea(avoid));
    Shorten(clientHeight - std::max(0, static_cast<int>(frame.cy) - spot.height));
    SetWindowPos(hwnd, nullptr, spot.left, spot.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        reinterpret_cast<Window*>(create->lpCreateParams)->hwnd = hwnd;
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->Handle(message, wParam, lParam);
}

LRESULT Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            // Enter, from the dialog manager: the focused push button is pressed.
            const HWND focus = GetFocus();
            std::string_view pressed;
            for (const auto& [name, control] : controls_)
                if (control == focus && forms::Find(*layout_, name).kind == forms::Kind::Button &&
                    IsWindowEnabled(control))
                    pressed = name;
            if (!pressed.empty()) Clicked(pressed);
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            const int index = LOWORD(wParam) - kFirstId;
            if (layout_ && index >= 0 && index < static_cast<int>(layout_->controls.size()) &&
                layout_->controls[static_cast<std::size_t>(index)].kind == forms::Kind::Button)
                Clicked(layout_->controls[static_cast<std::size_t>(index)].name);
        }
        return 0;
    case WM_ACTIVATE:
        // The focus comes back to the control that had it, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(hwnd, f)) focus_ = f;
        } else if (focus_ && IsWindow(focus_) && IsWindowEnabled(focus_)) {
            SetFocus(focus_);
            return 0;
        }
        break;
    case WM_CLOSE:
        CloseRequested();
        return 0;
    case WM_DESTROY:
        closed_ = true;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Window::Dispatch(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    wchar_t name[32] = {};
    if (root && GetClassNameW(root, name, 32) && wcscmp(name, kClassName) == 0 &&
        IsDialogMessageW(root, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace app
