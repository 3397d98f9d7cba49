#include "Form3.h"

#include "Form1.h"

namespace app {

namespace {
void Select(HWND on, HWND off) {
    SendMessageW(on, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(off, BM_SETCHECK, BST_UNCHECKED, 0);
}
bool Checked(HWND option) { return SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED; }
}  // namespace

Form3::Form3(Form1& form1) : form1_(form1), form_(form1.platform(), *this) {
    Create(forms::kForm3);
    Frame1 = Control("Frame1");
    Frame2 = Control("Frame2");
    Option1 = Control("Option1");
    Option2 = Control("Option2");
    Option3 = Control("Option3");
    Option4 = Control("Option4");
    Command1 = Control("Command1");
    Form_Load();
}

void Form3::Show() {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(Checked(Option1) ? Option1 : Option2);
}

void Form3::Clicked(std::string_view name) {
    if (name == "Command1") Command1_Click();
}

void Form3::SetMainWindowEnabled(bool enabled) { EnableWindow(form1_.hwnd, enabled ? TRUE : FALSE); }

void Form3::SetDesktopChoice(bool yes) { yes ? Select(Option1, Option2) : Select(Option2, Option1); }

void Form3::SetSendToChoice(bool enabled) {
    enabled ? Select(Option3, Option4) : Select(Option4, Option3);
}

bool Form3::DesktopChoice() { return Checked(Option1); }

bool Form3::SendToChoice() { return Checked(Option3); }

void Form3::ShowMessage(const std::string& text) { form1_.ShowMessage(text); }

void Form3::Unload() {
    // The main window first, so that it is the one activated next.
    Form_Unload();
    DestroyWindow(hwnd);
}

}  // namespace app
