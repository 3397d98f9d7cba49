#pragma once
#include "Window.h"
#include "forms/SettingForm.h"

namespace app {

class Form1;

// The Setting window: shows and reads its option buttons; what they do lives
// in forms::SettingForm.
class Form3 : public Window, private forms::SettingView {
public:
    explicit Form3(Form1& form1);

    void Form_Load() { form_.Form_Load(); }
    void Command1_Click() { form_.Command1_Click(); }
    void Form_Unload() { form_.Form_Unload(); }
    void Show();

    HWND Frame1, Frame2, Option1, Option2, Option3, Option4, Command1;

    const forms::SettingForm& form() const { return form_; }

protected:
    void Clicked(std::string_view name) override;
    void CloseRequested() override { Unload(); }

private:
    // forms::SettingView
    void SetMainWindowEnabled(bool enabled) override;
    void SetDesktopChoice(bool yes) override;
    void SetSendToChoice(bool enabled) override;
    bool DesktopChoice() override;
    bool SendToChoice() override;
    void ShowMessage(const std::string& text) override;
    void Unload() override;

    Form1& form1_;
    forms::SettingForm form_;
};

}  // namespace app
