#include <wrl/client.h>

#include "Win32.h"
#include "WindowsPlatform.h"
#include "platform/Catalog.h"

namespace platform::windows {

void EnsureCom() {
    static const HRESULT once = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)once;
}

namespace {

using Microsoft::WRL::ComPtr;

std::string Failure(const std::string& linkPath, HRESULT hr) {
    return Told(N_("cannot create the shortcut %1: %2"), {linkPath, ErrorText(static_cast<DWORD>(hr))});
}

class WindowsShortcuts final : public Shortcuts {
public:
    std::string FileName() override { return "Clipvane.lnk"; }
    std::string TargetName() override { return "Clipvane.exe"; }

    std::string Create(const std::string& linkPath, const std::string& target,
                       const std::string& workingFolder, const std::string& description,
                       bool /*onDesktop*/) override {
        EnsureCom();
        ComPtr<IShellLinkW> link;
        HRESULT hr =
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
        if (FAILED(hr)) return Failure(linkPath, hr);
        // These three and nothing else: the shell's defaults do the rest.
        if (FAILED(hr = link->SetDescription(Wide(description).c_str())) ||
            FAILED(hr = link->SetWorkingDirectory(Wide(workingFolder).c_str())) ||
            FAILED(hr = link->SetPath(Wide(target).c_str())))
            return Failure(linkPath, hr);
        ComPtr<IPersistFile> file;
        if (FAILED(hr = link.As(&file)) || FAILED(hr = file->Save(Wide(linkPath).c_str(), TRUE)))
            return Failure(linkPath, hr);
        return {};
    }
};

}  // namespace

std::unique_ptr<Shortcuts> MakeShortcuts() { return std::make_unique<WindowsShortcuts>(); }

}  // namespace platform::windows
