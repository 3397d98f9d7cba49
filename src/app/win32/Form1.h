#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ConverterWindow.h"
#include "Form2.h"
#include "Form3.h"
#include "SummaryWindow.h"
#include "Taskbar.h"
#include "Window.h"
#include "convert/BatchRun.h"
#include "convert/RunView.h"
#include "convert/Supervision.h"
#include "forms/Watching.h"
#include "intake/FileList.h"
#include "intake/Texts.h"
#include "platform/Platform.h"

namespace app {

// The main window: the file list and log, the status message, START, and the
// buttons that open the About and Setting windows. Closing it ends the program.
class Form1 : public Window, public convert::RunView {
public:
    explicit Form1(platform::Platform& platform);
    ~Form1() override;

    // Events, named after the control and the event.
    void Form_Load();
    void Text1_OLEDragDrop(const std::vector<std::string>& paths);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Form_Unload();

    // Centres the window on the screen's work area and shows it with START focused.
    void ShowCentred();

    // Tests answer message boxes here instead of a person.
    std::function<void(const std::string& text)> messageBoxHook;

    intake::FileList files;
    convert::Supervisor supervisor;

    HWND Frame1, Frame2, Text1, Label1, Label2, Command1, Command2, Command3;

    platform::Platform& platform() { return platform_; }
    // The open About and Setting windows; nullptr when none is open.
    Form2* aboutWindow() { return about_ && !about_->Closed() ? about_.get() : nullptr; }
    Form3* settingWindow() { return setting_ && !setting_->Closed() ? setting_.get() : nullptr; }
    SummaryWindow* summaryWindow() { return summary_ && !summary_->Closed() ? summary_.get() : nullptr; }

    // convert::RunView
    std::string LogText() override;
    void SetLogText(const std::string& text) override;
    void MoveCaretToEnd() override;
    void ShowMessage(const std::string& text) override;
    void SetCommand1(const std::string& caption, bool enabled) override;
    std::string Command1Caption() override;
    void AppendLogText(const std::string& text) override;
    void SetLabel1(const std::string& caption) override;
    void SetLabel2(const std::string& caption) override;
    void Repaint() override;
    void PumpEvents() override;
    bool Unloaded() override { return unloaded_; }
    void UnloadMainWindow() override { Form_Unload(); }
    void ConverterStarted(const std::string& name, const std::string& path, int number, int count) override;
    void ShowFileProgress(const convert::FileProgress& progress) override;
    void ConverterEnded() override;
    void ShowRunProgress(double fraction, bool failed) override;
    void RunEnded(int converted, int failed) override;
    void ShowFailures(const std::vector<convert::FailedClip>& failed, int count) override;

    // The open progress window; nullptr between files.
    ConverterWindow* converterWindow() { return converterWindow_.get(); }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Clicked(std::string_view name) override;
    void CloseRequested() override { Form_Unload(); }

private:
    static LRESULT CALLBACK Text1Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self);

    platform::Platform& platform_;
    convert::BatchRun batch_;
    // The button's state, kept apart from the caption, which is translated.
    std::string command1State_{intake::kStart};
    bool unloaded_ = false;
    std::unique_ptr<Form2> about_;
    std::unique_ptr<Form3> setting_;
    std::unique_ptr<ConverterWindow> converterWindow_;
    // The run's progress on the task bar, and its end told when unwatched.
    TaskbarButton taskbar_{nullptr};
    TrayNotice notice_;
    forms::Watching watching_;  // the progress window never takes the focus, so it hands none back
    std::unique_ptr<SummaryWindow> summary_;
};

// The paths a drop delivers, in its order, as UTF-8.
std::vector<std::string> DroppedPaths(HDROP drop);

}  // namespace app
