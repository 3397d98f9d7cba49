#pragma once
#include "Window.h"

namespace app {

class Form1;

// The About window: the version and a word of thanks. The main window stays
// disabled while it is open.
class Form2 : public Window {
public:
    explicit Form2(Form1& form1);

    void Form_Load();
    void Command1_Click();
    void Form_Unload();
    // Shows it without an owner and without modality, "Close" focused.
    void Show();

    HWND Label1, Command1;

protected:
    void Clicked(std::string_view name) override;
    void CloseRequested() override;

private:
    Form1& form1_;
};

}  // namespace app
