#include "Form3.h"

#include <QCloseEvent>

#include "Form1.h"
#include "Look.h"

namespace app {

Form3::Form3(Form1& form1) : form1_(form1), form_(form1.platform(), *this) {
    const forms::Layout& layout = layout_.layout();
    SetUpWindow(*this, layout);
    setAttribute(Qt::WA_DeleteOnClose);  // every opening is a new window

    Frame2 = new QGroupBox(Caption(layout, "Frame2"), this);
    Place(*Frame2, layout, "Frame2");
    Option4 = new QRadioButton(Caption(layout, "Option4"), Frame2);
    Place(*Option4, layout, "Option4");
    Option3 = new QRadioButton(Caption(layout, "Option3"), Frame2);
    Place(*Option3, layout, "Option3");
    Command1 = new QPushButton(Caption(layout, "Command1"), this);
    Place(*Command1, layout, "Command1");
    Frame1 = new QGroupBox(Caption(layout, "Frame1"), this);
    Place(*Frame1, layout, "Frame1");
    Option2 = new QRadioButton(Caption(layout, "Option2"), Frame1);
    Place(*Option2, layout, "Option2");
    Option1 = new QRadioButton(Caption(layout, "Option1"), Frame1);
    Place(*Option1, layout, "Option1");

    SetUpFocus(layout, {{"Frame1", Frame1}, {"Frame2", Frame2}, {"Option1", Option1},
                        {"Option2", Option2}, {"Option3", Option3}, {"Option4", Option4},
                        {"Command1", Command1}});
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    Form_Load();
}

void Form3::SetMainWindowEnabled(bool enabled) { form1_.setEnabled(enabled); }

void Form3::SetDesktopChoice(bool yes) {
    Option1->setChecked(yes);
    Option2->setChecked(!yes);
}

void Form3::SetSendToChoice(bool enabled) {
    Option3->setChecked(enabled);
    Option4->setChecked(!enabled);
}

void Form3::ShowMessage(const std::string& text) { form1_.ShowMessage(text); }

void Form3::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

}  // namespace app
