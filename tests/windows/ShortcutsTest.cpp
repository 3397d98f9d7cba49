#include <gtest/gtest.h>
#include <wrl/client.h>

#include "WindowsTestSupport.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

using Microsoft::WRL::ComPtr;
using namespace wintest;

struct LinkContents {
    std::string target, workingFolder, description, arguments;
};

// Reads a shortcut back the way the shell does.
LinkContents ReadLink(const std::string& linkPath) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LinkContents contents;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(Wide(linkPath).c_str(), STGM_READ)))
        return {"<unreadable>", "", "", ""};
    // The target as the shell resolves it: from the item list. (Wine keeps
    // the path that GetPath returns in the ANSI code page only.)
    wchar_t text[MAX_PATH * 2] = L"";
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items) SHGetPathFromIDListW(items, text);
    CoTaskMemFree(items);
    contents.target = Utf8(text);
    text[0] = L'\0';
    link->GetWorkingDirectory(text, MAX_PATH * 2);
    contents.workingFolder = Utf8(text);
    text[0] = L'\0';
    link->GetDescription(text, MAX_PATH * 2);
    contents.description = Utf8(text);
    text[0] = L'\0';
    link->GetArguments(text, MAX_PATH * 2);
    contents.arguments = Utf8(text);
    return contents;
}

TEST(WindowsShortcuts, ALinkReadsBackWithTargetFolderAndNothingElse) {
    TestFolder root;
    const std::string program = root / "Pr\u00f6gram \u65e5\u672c";
    const std::string sendTo = root / "SendTo";
    MakeFolder(program);
    MakeFolder(sendTo);
    WriteFile(program + "\\Clipvane.exe");
    WriteFile(program + "\\Other.exe");
    auto shortcuts = platform::windows::MakeShortcuts();
    const std::string link = sendTo + "\\Clipvane.lnk";

    ASSERT_EQ(shortcuts->Create(link, program + "\\Clipvane.exe", program, "", false), "");
    LinkContents read = ReadLink(link);
    EXPECT_EQ(read.target, program + "\\Clipvane.exe");
    EXPECT_EQ(read.workingFolder, program);
    EXPECT_EQ(read.description, "");
    EXPECT_EQ(read.arguments, "");

    // A second save replaces the first link whole.
    ASSERT_EQ(shortcuts->Create(link, program + "\\Other.exe", sendTo, "", true), "");
    read = ReadLink(link);
    EXPECT_EQ(read.target, program + "\\Other.exe");
    EXPECT_EQ(read.workingFolder, sendTo);
}

TEST(WindowsShortcuts, AFolderThatIsNotThereGivesAReason) {
    TestFolder root;
    WriteFile(root / "Clipvane.exe");
    EXPECT_NE(platform::windows::MakeShortcuts()->Create(
                  root / "missing\\Clipvane.lnk", root / "Clipvane.exe", root.str(), "", true),
              "");
    EXPECT_FALSE(Exists(root / "missing\\Clipvane.lnk"));
}

}  // namespace
