#include "Taskbar.h"

namespace app {

namespace {
constexpr UINT kIconId = 1;
constexpr ULONGLONG kSteps = 1000;

template <std::size_t N>
void Copy(wchar_t (&to)[N], const std::string& utf8) {
    const std::wstring wide = Wide(utf8);
    wcsncpy(to, wide.c_str(), N - 1);
    to[N - 1] = L'\0';
}
}  // namespace

ITaskbarList3* TaskbarButton::List() {
    if (!asked_) {
        asked_ = true;
        platform::windows::EnsureCom();
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&list_))) ||
            FAILED(list_->HrInit()))
            list_.Reset();
    }
    return list_.Get();
}

UINT TaskbarButton::CreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void TaskbarButton::ShowProgress(double fraction, bool failed) {
    if (!created_) return;
    ITaskbarList3* list = List();
    if (!list) return;
    list->SetProgressState(window_, failed ? TBPF_ERROR : TBPF_NORMAL);
    list->SetProgressValue(window_, static_cast<ULONGLONG>(fraction * kSteps + 0.5), kSteps);
}

void TaskbarButton::Clear() {
    if (!created_) return;
    if (ITaskbarList3* list = List()) list->SetProgressState(window_, TBPF_NOPROGRESS);
}

void TaskbarButton::Flash() {
    FLASHWINFO flash{sizeof flash, window_, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void TrayNotice::Show(HWND window, const std::string& title, const std::string& text) {
    Remove();
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = kIconId;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE | NIF_INFO;
    icon.uCallbackMessage = kMessage;
    icon.hIcon = WindowIcon(true);
    Copy(icon.szTip, "Clipvane");
    Copy(icon.szInfoTitle, title);
    Copy(icon.szInfo, text);
    icon.dwInfoFlags = NIIF_INFO;
    if (Shell_NotifyIconW(NIM_ADD, &icon)) window_ = window;
}

void TrayNotice::Handle(LPARAM event) {
    switch (LOWORD(event)) {
        case NIN_BALLOONUSERCLICK:
            if (window_) SetForegroundWindow(window_);
            Remove();
            break;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE: Remove(); break;
        default: break;
    }
}

void TrayNotice::Remove() {
    if (!window_) return;
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window_;
    icon.uID = kIconId;
    Shell_NotifyIconW(NIM_DELETE, &icon);
    window_ = nullptr;
}

}  // namespace app
