#include "Form3.h"

#include <QCloseEvent>

#include "Form1.h"
#include "Look.h"
#include "intake/Texts.h"

namespace app {

Form3::Form3(Form1& form1) : form1_(form1) {
    SetUpWindow(*this, tr("Setting"), 4680, 3945);
    setAttribute(Qt::WA_DeleteOnClose);  // every opening is a new window

    Frame2 = new QGroupBox(tr("Right click a file and send to"), this);
    Frame2->setGeometry(Twips(240, 1920, 4215, 1095));
    Option4 = new QRadioButton(tr("disabled"), Frame2);
    Option4->setGeometry(Twips(2160, 360, 1335, 495));
    Option3 = new QRadioButton(tr("enabled"), Frame2);
    Option3->setGeometry(Twips(360, 360, 1215, 495));
    Command1 = new QPushButton(tr("Set"), this);
    Command1->setGeometry(Twips(960, 3240, 2655, 495));
    Frame1 = new QGroupBox(tr("Create a shortcut to the Desktop?"), this);
    Frame1->setGeometry(Twips(240, 240, 4215, 1095));
    Option2 = new QRadioButton(tr("No"), Frame1);
    Option2->setGeometry(Twips(2160, 480, 1575, 375));
    Option1 = new QRadioButton(tr("Yes"), Frame1);
    Option1->setGeometry(Twips(360, 480, 1455, 375));

    Frame1->setFocusPolicy(Qt::NoFocus);
    Frame2->setFocusPolicy(Qt::NoFocus);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Command1);
    setTabOrder(Command1, Option3);
    setTabOrder(Option3, Option4);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    Form_Load();
}

void Form3::Form_Load() {
    form1_.setEnabled(false);
    platform::Platform& p = form1_.platform();
    const char sep = platform::kNativePaths.separator;
    sDesktopFolder = p.folders->Desktop();
    sSendToFolder = p.folders->SendTo();
    programFolder_ = p.environment->ProgramFolder();
    sTargetPath = programFolder_ + sep + p.shortcuts->TargetName();
    sDesktopLink = sDesktopFolder + sep + p.shortcuts->FileName();
    sSendToLink = sSendToFolder + sep + p.shortcuts->FileName();

    bDesktopLinkExisted = p.files->FileExists(sDesktopLink);
    Option1->setChecked(bDesktopLinkExisted);
    Option2->setChecked(!bDesktopLinkExisted);
    bSendToLinkExisted = p.files->FileExists(sSendToLink);
    Option3->setChecked(bSendToLinkExisted);
    Option4->setChecked(!bSendToLinkExisted);
}

void Form3::Apply(bool wanted, bool existed, const std::string& folder, const std::string& link,
                  bool onDesktop) {
    platform::Platform& p = form1_.platform();
    std::string reason;
    std::string verb;
    if (wanted && !existed) {
        verb = "created";
        reason = p.files->PrepareFolder(folder, false);
        if (reason.empty()) reason = p.shortcuts->Create(link, sTargetPath, programFolder_, "", onDesktop);
    } else if (!wanted && existed) {
        verb = "removed";
        reason = p.files->DeleteFileForce(link);
    }
    if (reason.empty()) return;
    const std::string nl(intake::kNewLine);
    form1_.ShowMessage("I'm sorry. The shortcut could not be " + verb + ":" + nl + link + nl + nl + reason);
}

void Form3::Command1_Click() {
    Apply(Option1->isChecked(), bDesktopLinkExisted, sDesktopFolder, sDesktopLink, true);
    Apply(Option3->isChecked(), bSendToLinkExisted, sSendToFolder, sSendToLink, false);
    if (Option3->isChecked() != bSendToLinkExisted) form1_.platform().shortcuts->FolderChanged(sSendToFolder);
    close();
}

void Form3::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form3::Form_Unload() { form1_.setEnabled(true); }

}  // namespace app
