#include "Form2.h"

#include <QCloseEvent>

#include "Form1.h"
#include "Look.h"

namespace app {

Form2::Form2(Form1& form1) : form1_(form1) {
    const forms::Layout& layout = forms::kForm2;
    SetUpWindow(*this, layout);
    setAttribute(Qt::WA_DeleteOnClose);  // every opening is a new window

    Label1 = new QLabel(Caption(layout, "Label1"), this);
    Place(*Label1, layout, "Label1");
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Command1 = new QPushButton(Caption(layout, "Command1"), this);
    Place(*Command1, layout, "Command1");
    SetUpFocus(layout, {{"Label1", Label1}, {"Command1", Command1}});
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    Command1->setFocus(Qt::OtherFocusReason);
    Form_Load();
}

void Form2::Form_Load() { form1_.setEnabled(false); }

void Form2::Command1_Click() { close(); }

void Form2::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form2::Form_Unload() { form1_.setEnabled(true); }

}  // namespace app
