#pragma once
#include <string>

// clang-format off
// The Windows headers first (see Win32.h).
#include "Window.h"
#include <shobjidl.h>
#include <wrl/client.h>
// clang-format on

namespace app {

// The main window's task-bar button: the run's progress across it, in the
// error state after a failure, and a flash when the run ends while the user
// looks elsewhere. Without a task bar (or COM) it does nothing.
class TaskbarButton {
public:
    explicit TaskbarButton(HWND window) : window_(window) {}
    // The message the shell sends once the window's button is there; until
    // then the button shows no progress.
    static UINT CreatedMessage();
    void Created() { created_ = true; }
    // `fraction` of the run done, 0 to 1; the run tells it only at visible steps.
    void ShowProgress(double fraction, bool failed);
    void Clear();
    // Flashes the button until the window comes to the foreground.
    void Flash();

private:
    ITaskbarList3* List();

    HWND window_;
    Microsoft::WRL::ComPtr<ITaskbarList3> list_;
    bool asked_ = false;
    bool created_ = false;
};

// A notification from an icon in the notification area (a toast on Windows
// 10 and 11). The icon goes when the notice has been seen or has timed out,
// or at the latest with the window.
class TrayNotice {
public:
    // The message the icon sends its window.
    static constexpr UINT kMessage = WM_APP + 1;

    void Show(HWND window, const std::string& title, const std::string& text);
    // The icon's message; the notice is done with when it was clicked or went.
    void Handle(LPARAM event);
    void Remove();
    bool Shown() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;
};

}  // namespace app
