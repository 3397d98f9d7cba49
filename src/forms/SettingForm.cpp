#include "SettingForm.h"

#include "intake/Texts.h"

namespace forms {

void SettingForm::Form_Load() {
    view_.SetMainWindowEnabled(false);
    platform::Platform& p = platform_;
    const char sep = platform::kNativePaths.separator;
    sDesktopFolder = p.folders->Desktop();
    sSendToFolder = p.folders->SendTo();
    programFolder_ = p.environment->ProgramFolder();
    sTargetPath = programFolder_ + sep + p.shortcuts->TargetName();
    sDesktopLink = sDesktopFolder + sep + p.shortcuts->FileName();
    sSendToLink = sSendToFolder + sep + p.shortcuts->FileName();

    bDesktopLinkExisted = p.files->FileExists(sDesktopLink);
    view_.SetDesktopChoice(bDesktopLinkExisted);
    bSendToLinkExisted = p.files->FileExists(sSendToLink);
    view_.SetSendToChoice(bSendToLinkExisted);
}

void SettingForm::Apply(bool wanted, bool existed, const std::string& folder,
                        const std::string& link, bool onDesktop) {
    platform::Platform& p = platform_;
    std::string reason;
    std::string failure;
    if (wanted && !existed) {
        failure = text::Tr("I'm sorry. The shortcut could not be created:");
        reason = p.files->PrepareFolder(folder, false);
        if (reason.empty()) reason = p.shortcuts->Create(link, sTargetPath, programFolder_, "", onDesktop);
    } else if (!wanted && existed) {
        failure = text::Tr("I'm sorry. The shortcut could not be removed:");
        reason = p.files->DeleteFileForce(link);
    }
    if (reason.empty()) return;
    const std::string nl(intake::kNewLine);
    view_.ShowMessage(failure + nl + link + nl + nl + reason);
}

void SettingForm::Command1_Click() {
    const bool sendTo = view_.SendToChoice();
    Apply(view_.DesktopChoice(), bDesktopLinkExisted, sDesktopFolder, sDesktopLink, true);
    Apply(sendTo, bSendToLinkExisted, sSendToFolder, sSendToLink, false);
    if (sendTo != bSendToLinkExisted) platform_.shortcuts->FolderChanged(sSendToFolder);
    view_.Unload();
}

void SettingForm::Form_Unload() { view_.SetMainWindowEnabled(true); }

}  // namespace forms
