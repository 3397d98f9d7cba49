#pragma once
#include <chrono>
#include <string>

#include "Window.h"
#include "convert/ConverterProgress.h"
#include "convert/RunProgress.h"

namespace app {

// The converter's progress while it runs: the clip, its place in the run, a
// bar with the percent, the time spent and the time left, and the converter's
// own output folded away behind "Details". Only a view: it never takes the
// focus from the main window.
class ConverterWindow : public Window {
public:
    ConverterWindow(const std::string& fileName, int number, int count);
    ~ConverterWindow() override;

    void AddOutput(const std::string& text);
    // Keeps clear of `avoid` (the main window) on its screen, also when
    // Details opens or closes; the owner stays in front of nothing else.
    void PlaceBeside(HWND avoid);
    // Shown without being activated.
    void Show();

    const convert::ConverterProgress& progress() const { return progress_; }
    HWND bar() const { return Control("Bar"); }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Clicked(std::string_view name) override;
    void CloseRequested() override { ShowWindow(hwnd, SW_HIDE); }

private:
    void ShowProgress();
    void ShowDetails(bool shown);
    void FillDetails();

    convert::ConverterProgress progress_;
    convert::ConsoleText console_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    HWND avoid_ = nullptr;
    HFONT mono_ = nullptr;
    bool busy_ = false;
    bool detailsShown_ = false;
};

}  // namespace app
