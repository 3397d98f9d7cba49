#include <wrl/client.h>

#include "WindowFixture.h"
#include "platform/windows/Catalog.h"
#include "text/Translate.h"

namespace win32_test {
namespace {

using Microsoft::WRL::ComPtr;
using wintest::Utf8;
using wintest::Wide;

struct Link {
    std::string target, workingFolder, description;
};

// Reads a shortcut back the way the shell does.
Link ReadLink(const std::string& path) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(Wide(path).c_str(), STGM_READ)))
        return {"<unreadable>", "", ""};
    Link read;
    wchar_t text[MAX_PATH * 2] = L"";
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items) SHGetPathFromIDListW(items, text);
    CoTaskMemFree(items);
    read.target = Utf8(text);
    text[0] = L'\0';
    link->GetWorkingDirectory(text, MAX_PATH * 2);
    read.workingFolder = Utf8(text);
    text[0] = L'\0';
    link->GetDescription(text, MAX_PATH * 2);
    read.description = Utf8(text);
    return read;
}

bool Checked(HWND option) { return SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class SettingTest : public WindowTest {
protected:
    app::Form3& Open() {
        SendMessageW(form->Command3, BM_CLICK, 0, 0);
        return *form->settingWindow();
    }
    void Click(HWND h) { SendMessageW(h, BM_CLICK, 0, 0); }
};

// Windows has "Send To": the usage text and the Setting window name it.
TEST_F(SettingTest, UsageAndSettingNameSendTo) {
    for (const auto& [locale, menu] : {std::pair{L"en-US", "send to"}, {L"de-DE", "„Senden an“"}}) {
        const platform::windows::ResourceCatalog catalog(locale);
        text::UseCatalog(&catalog);
        Load("");
        EXPECT_NE(Lines(*form)[3].find(menu), std::string::npos) << Lines(*form)[3];
        app::Form3& w = Open();
        EXPECT_NE(app::FromControlText(app::TextOf(w.Frame2)).find(menu), std::string::npos);
        SendMessageW(w.hwnd, WM_CLOSE, 0, 0);
        text::UseCatalog(nullptr);
    }
}

TEST_F(SettingTest, SetCreatesAndRemovesRealShortcuts) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wintest::WriteFile(program + "\\Clipvane.exe", "program");
    const std::string desktopLink = desktop + "\\Clipvane.lnk", sendToLink = sendTo + "\\Clipvane.lnk";
    Load("");
    app::Form3& w = Open();
    EXPECT_TRUE(Checked(w.Option2) && Checked(w.Option4));
    EXPECT_FALSE(Checked(w.Option1) || Checked(w.Option3));
    EXPECT_EQ(app::FromControlText(app::TextOf(w.Frame1)), "Create a shortcut to the Desktop?");
    // One choice per question.
    Click(w.Option1);
    EXPECT_TRUE(Checked(w.Option1));
    EXPECT_FALSE(Checked(w.Option2));
    EXPECT_TRUE(Checked(w.Option4));
    Click(w.Option3);
    EXPECT_FALSE(Checked(w.Option4));
    EXPECT_TRUE(Checked(w.Option1));
    Click(w.Command1);
    EXPECT_TRUE(w.Closed());
    EXPECT_TRUE(IsWindowEnabled(form->hwnd));
    EXPECT_TRUE(messages.empty());
    for (const std::string& link : {desktopLink, sendToLink}) {
        const Link read = ReadLink(link);
        EXPECT_EQ(read.target, program + "\\Clipvane.exe") << link;
        EXPECT_EQ(read.workingFolder, program);
        EXPECT_EQ(read.description, "");
    }

    app::Form3& again = Open();
    EXPECT_TRUE(Checked(again.Option1) && Checked(again.Option3));
    Click(again.Option2);
    Click(again.Command1);
    EXPECT_FALSE(wintest::Exists(desktopLink));
    EXPECT_TRUE(wintest::Exists(sendToLink));  // still wanted: left alone
    CoUninitialize();
}

TEST_F(SettingTest, ALauncherThatCannotBeMadeIsReportedAndTheWindowStillCloses) {
    // Send To is a file here, so nothing can be written into it.
    RemoveDirectoryW(Wide(sendTo).c_str());
    wintest::WriteFile(sendTo, "not a folder");
    Load("");
    app::Form3& w = Open();
    Click(w.Option3);
    Click(w.Command1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("I'm sorry. The shortcut could not be created:\n" + sendTo + "\\Clipvane.lnk", 0), 0u)
        << messages[0];
    EXPECT_TRUE(w.Closed());
    EXPECT_TRUE(IsWindowEnabled(form->hwnd));
}

}  // namespace
}  // namespace win32_test
