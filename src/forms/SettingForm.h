#pragma once
#include <string>

#include "platform/Platform.h"

namespace forms {

// What the Setting window's behaviour needs of the window that shows it.
class SettingView {
public:
    virtual ~SettingView() = default;
    // The main window's enabled state; off while the Setting window is open.
    virtual void SetMainWindowEnabled(bool enabled) = 0;
    // Selects "Yes" (Option1) or "No" (Option2) / "enabled" (Option3) or "disabled" (Option4).
    virtual void SetDesktopChoice(bool yes) = 0;
    virtual void SetSendToChoice(bool enabled) = 0;
    virtual bool DesktopChoice() = 0;
    virtual bool SendToChoice() = 0;
    // A modal message box with one OK button, captioned with the program's title.
    virtual void ShowMessage(const std::string& text) = 0;
    // Closes the window, which runs Form_Unload.
    virtual void Unload() = 0;
};

// The Setting window without its widgets: creates or removes the two
// launchers, one on the Desktop and one where the file manager offers it for
// files. Whether each launcher file exists is the program's only setting.
class SettingForm {
public:
    SettingForm(platform::Platform& platform, SettingView& view) : platform_(platform), view_(view) {}

    void Form_Load();
    void Command1_Click();
    void Form_Unload();

    std::string sTargetPath;
    std::string sDesktopFolder;
    std::string sSendToFolder;
    std::string sDesktopLink;
    std::string sSendToLink;
    bool bDesktopLinkExisted = false;
    bool bSendToLinkExisted = false;

private:
    // Creates when wanted and absent at load, deletes when unwanted and
    // present at load, and otherwise leaves the file alone.
    void Apply(bool wanted, bool existed, const std::string& folder, const std::string& link,
               bool onDesktop);

    platform::Platform& platform_;
    SettingView& view_;
    std::string programFolder_;
};

}  // namespace forms
