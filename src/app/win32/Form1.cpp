#include "Form1.h"

#include <commctrl.h>

#include "convert/RunTexts.h"
#include "forms/RunSetup.h"
#include "intake/CommandLineIntake.h"
#include "intake/DropIntake.h"
#include "intake/Texts.h"

namespace app {

std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(Utf8(path));
    }
    return paths;
}

Form1::Form1(platform::Platform& platform)
    : supervisor(*this), platform_(platform), batch_(files, *this, supervisor, forms::MakeRunServices(platform)) {
    Create(forms::kForm1);
    Frame1 = Control("Frame1");
    Frame2 = Control("Frame2");
    Text1 = Control("Text1");
    Label1 = Control("Label1");
    Label2 = Control("Label2");
    Command1 = Control("Command1");
    Command2 = Control("Command2");
    Command3 = Control("Command3");
    // Beneath the log box, which covers it.
    SetWindowPos(Label1, Text1, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(Text1, EM_SETLIMITTEXT, 0, 0);  // a log of any length
    // Only the log box takes Explorer's drops.
    DragAcceptFiles(Text1, TRUE);
    SetWindowSubclass(Text1, Text1Procedure, 1, reinterpret_cast<DWORD_PTR>(this));
    taskbar_ = TaskbarButton(hwnd);
}

Form1::~Form1() {
    notice_.Remove();
    converterWindow_.reset();
    about_.reset();
    setting_.reset();
    summary_.reset();
    if (Text1 && IsWindow(Text1)) RemoveWindowSubclass(Text1, Text1Procedure, 1);
}

LRESULT CALLBACK Form1::Text1Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    if (message == WM_DROPFILES) {
        const HDROP drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::string> paths = DroppedPaths(drop);
        DragFinish(drop);
        reinterpret_cast<Form1*>(self)->Text1_OLEDragDrop(paths);
        return 0;
    }
    if (message == WM_GETDLGCODE) {
        // Tab moves on to the next control rather than typing a tab.
        const LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB)
            return code & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        return code;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void Form1::Form_Load() {
    intake::LoadFromCommandLine(files, *platform_.environment, *platform_.names, *platform_.files, *this);
}

void Form1::Text1_OLEDragDrop(const std::vector<std::string>& paths) {
    intake::DropFiles(files, paths, *platform_.names, *platform_.files, *this);
}

void Form1::Command1_Click() { batch_.Command1_Click(); }

void Form1::Command2_Click() {
    // A closed window is gone: a new opening loads a new one.
    if (!aboutWindow()) {
        about_.reset();
        about_ = std::make_unique<Form2>(*this);
    }
    about_->Show();
}

void Form1::Command3_Click() {
    if (!settingWindow()) {
        setting_.reset();
        setting_ = std::make_unique<Form3>(*this);
    }
    setting_->Show();
}

void Form1::Clicked(std::string_view name) {
    if (name == "Command1") Command1_Click();
    else if (name == "Command2") Command2_Click();
    else if (name == "Command3") Command3_Click();
}

void Form1::ShowFailures(const std::vector<convert::FailedClip>& failed, int count) {
    summary_ = std::make_unique<SummaryWindow>(failed, count);
    summary_->ShowBeside(hwnd);
}

void Form1::ShowCentred() {
    const forms::Rect work = WorkArea(hwnd);
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, work.left + (work.width - width) / 2, work.top + (work.height - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(Command1);
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    supervisor.Form_Unload();
    // Every window goes with the main one; the handles stay valid until the
    // program ends, as a run being unwound may still reach them.
    if (Form2* w = aboutWindow()) ShowWindow(w->hwnd, SW_HIDE);
    if (Form3* w = settingWindow()) ShowWindow(w->hwnd, SW_HIDE);
    if (converterWindow_) ShowWindow(converterWindow_->hwnd, SW_HIDE);
    notice_.Remove();
    if (SummaryWindow* w = summaryWindow()) ShowWindow(w->hwnd, SW_HIDE);
    ShowWindow(hwnd, SW_HIDE);
    PostQuitMessage(0);
}

std::string Form1::LogText() { return FromControlText(TextOf(Text1)); }

void Form1::SetLogText(const std::string& text) { SetText(Text1, text); }

void Form1::MoveCaretToEnd() {
    const LRESULT length = GetWindowTextLengthW(Text1);
    SendMessageW(Text1, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(Text1, EM_SCROLLCARET, 0, 0);
}

void Form1::AppendLogText(const std::string& text) {
    const LRESULT length = GetWindowTextLengthW(Text1);
    SendMessageW(Text1, EM_SETSEL, static_cast<WPARAM>(length), length);
    const std::wstring wide = ToControlText(text);
    SendMessageW(Text1, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Form1::ShowMessage(const std::string& text) {
    if (messageBoxHook) return messageBoxHook(text);
    const std::wstring title = Wide(intake::kProgramTitle);
    MessageBoxW(IsWindowVisible(hwnd) ? hwnd : nullptr, ToControlText(text).c_str(), title.c_str(),
                MB_OK);
}

void Form1::SetCommand1(const std::string& caption, bool enabled) {
    command1State_ = caption;
    SetText(Command1, forms::Shown(caption));
    EnableWindow(Command1, enabled ? TRUE : FALSE);
}

std::string Form1::Command1Caption() { return command1State_; }

void Form1::SetLabel1(const std::string& caption) { SetText(Label1, caption); }

void Form1::SetLabel2(const std::string& caption) { SetText(Label2, caption); }

void Form1::Repaint() {
    // The window and every control in it (Text1, Label1, Label2 among them), now.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Form1::PumpEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // For the program's own loop, which ends on it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void Form1::ConverterStarted(const std::string& name, const std::string&, int number, int count) {
    converterWindow_.reset();
    converterWindow_ = std::make_unique<ConverterWindow>(name, number, count);
    // Beside the main window rather than over it, and without the focus.
    converterWindow_->PlaceBeside(hwnd);
    converterWindow_->Show();
}

void Form1::ShowFileProgress(const convert::FileProgress& progress) {
    if (converterWindow_) converterWindow_->ShowProgress(progress);
}

void Form1::ConverterEnded() { converterWindow_.reset(); }

void Form1::ShowRunProgress(double fraction, bool failed) { taskbar_.ShowProgress(fraction, failed); }

void Form1::RunEnded(int converted, int failed) {
    taskbar_.Clear();
    // A user watching the window sees the end there.
    if (watching_.AtRunEnd(GetForegroundWindow() == hwnd)) return;
    taskbar_.Flash();
    notice_.Show(hwnd, convert::RunEndTitle(), convert::RunEndText(converted, failed));
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TrayNotice::kMessage) {
        notice_.Handle(lParam);
        return 0;
    }
    if (message == TaskbarButton::CreatedMessage()) {
        taskbar_.Created();
        return 0;
    }
    return Window::Handle(message, wParam, lParam);
}

}  // namespace app
