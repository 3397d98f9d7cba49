#include <gtest/gtest.h>

#include "WindowsTestSupport.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

using namespace wintest;

// The older shell call, as a second opinion on the same folders.
std::string CsidlFolder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return Utf8(path);
}

TEST(WindowsSpecialFolders, DesktopAndSendToAreTheUsersOwnFolders) {
    auto folders = platform::windows::MakeSpecialFolders();
    auto files = platform::windows::MakeFileSystem();
    const struct {
        std::string found;
        int csidl;
    } cases[] = {{folders->Desktop(), CSIDL_DESKTOPDIRECTORY}, {folders->SendTo(), CSIDL_SENDTO}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.found);
        EXPECT_EQ(c.found, CsidlFolder(c.csidl));
        EXPECT_TRUE(files->FolderExists(c.found));
    }
    EXPECT_NE(folders->Desktop(), folders->SendTo());
}

}  // namespace
