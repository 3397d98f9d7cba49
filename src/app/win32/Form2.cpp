#include "Form2.h"

#include "Form1.h"

namespace app {

Form2::Form2(Form1& form1) : form1_(form1) {
    Create(forms::kForm2);
    Label1 = Control("Label1");
    Command1 = Control("Command1");
    Form_Load();
}

void Form2::Form_Load() { EnableWindow(form1_.hwnd, FALSE); }

void Form2::Show() {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(Command1);
}

void Form2::Clicked(std::string_view name) {
    if (name == "Command1") Command1_Click();
}

void Form2::Command1_Click() { CloseRequested(); }

void Form2::CloseRequested() {
    // The main window first, so that it is the one activated next.
    Form_Unload();
    DestroyWindow(hwnd);
}

void Form2::Form_Unload() { EnableWindow(form1_.hwnd, TRUE); }

}  // namespace app
