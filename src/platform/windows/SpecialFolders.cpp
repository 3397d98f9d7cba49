#include "Win32.h"
#include "WindowsPlatform.h"

namespace platform::windows {

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::string result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = Utf8(path);
    CoTaskMemFree(path);  // also owed when the call fails
    return result;
}

class WindowsSpecialFolders final : public SpecialFolders {
public:
    std::string Desktop() override { return KnownFolder(FOLDERID_Desktop); }
    std::string SendTo() override { return KnownFolder(FOLDERID_SendTo); }
};

}  // namespace

std::unique_ptr<SpecialFolders> MakeSpecialFolders() {
    return std::make_unique<WindowsSpecialFolders>();
}

}  // namespace platform::windows
