#pragma once
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "Look.h"
#include "forms/SettingForm.h"

namespace app {

class Form1;

// The Setting window: shows and reads its option buttons; what they do lives
// in forms::SettingForm.
class Form3 : public QWidget, private forms::SettingView {
public:
    explicit Form3(Form1& form1);

    void Form_Load() { form_.Form_Load(); }
    void Command1_Click() { form_.Command1_Click(); }
    void Form_Unload() { form_.Form_Unload(); }

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QPushButton* Command1;

    const forms::SettingForm& form() const { return form_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // forms::SettingView
    void SetMainWindowEnabled(bool enabled) override;
    void SetDesktopChoice(bool yes) override;
    void SetSendToChoice(bool enabled) override;
    bool DesktopChoice() override { return Option1->isChecked(); }
    bool SendToChoice() override { return Option3->isChecked(); }
    void ShowMessage(const std::string& text) override;
    void Unload() override { close(); }

    const forms::FittedLayout layout_ = Fitted(forms::kForm3);
    Form1& form1_;
    forms::SettingForm form_;
};

}  // namespace app
