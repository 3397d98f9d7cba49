#pragma once
#include <vector>

#include "Window.h"
#include "convert/FailureReason.h"

namespace app {

// After a run in which clips failed: how many, and each failed clip with its
// reason in plain words and the converter's last word in smaller print.
// Shown beside the main window without taking the focus; it closes by its
// own button, or with the main window.
class SummaryWindow : public Window {
public:
    SummaryWindow(const std::vector<convert::FailedClip>& failed, int count);

    // Shows it clear of `avoid` (the main window) where the screen has room.
    void ShowBeside(HWND avoid);

    HWND Label1, Text1, Command1;

protected:
    void Clicked(std::string_view name) override;
    void CloseRequested() override { DestroyWindow(hwnd); }
};

}  // namespace app
