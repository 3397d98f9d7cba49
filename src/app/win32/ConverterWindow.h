#pragma once
#include <string>

#include "Window.h"
#include "convert/RunView.h"

namespace app {

// The converter's progress while it runs: the clip, its place in the run, a
// bar with the percent, the time spent and the time left, and the converter's
// own output folded away behind "Details". Only a view: it draws what the run
// tells it and never takes the focus from the main window.
class ConverterWindow : public Window {
public:
    ConverterWindow(const std::string& name, int number, int count);

    void ShowProgress(const convert::FileProgress& progress);
    // Keeps clear of `avoid` (the main window, or none) on its monitor, also
    // when Details opens or closes.
    void PlaceBeside(HWND avoid);
    // Shown without being activated.
    void Show();

    HWND bar() const { return Control("Bar"); }
    HWND output() const { return Control("Output"); }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Clicked(std::string_view name) override;
    void CloseRequested() override { ShowWindow(hwnd, SW_HIDE); }

private:
    void AddDetails(const std::string& newLines, const std::string& lastLine);
    void ShowDetails(bool shown);

    HWND avoid_ = nullptr;
    bool busy_ = false;
    bool detailsShown_ = false;
};

}  // namespace app
