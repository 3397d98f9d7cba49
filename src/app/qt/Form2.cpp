#include "Form2.h"

#include <QCloseEvent>

#include "Form1.h"
#include "Look.h"

namespace app {

Form2::Form2(Form1& form1) : form1_(form1) {
    SetUpWindow(*this, tr("About this software"), 8430, 2730);
    setAttribute(Qt::WA_DeleteOnClose);  // every opening is a new window

    Label1 = new QLabel(QStringLiteral("Version %1\nThank you for using my application.")
                            .arg(QStringLiteral(CLIPVANE_VERSION)),
                        this);
    Label1->setGeometry(Twips(120, 0, 8175, 2055));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setFocusPolicy(Qt::NoFocus);
    Command1 = new QPushButton(tr("Close"), this);
    Command1->setGeometry(Twips(3240, 2160, 1695, 495));
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
