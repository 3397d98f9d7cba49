#include "Win32.h"
#include "WindowsPlatform.h"

namespace platform::windows {

namespace {

class FindFileLookup final : public DirectoryLookup {
public:
    std::string EntryName(const std::string& path) override {
        // A wildcard would match some other entry; no file name holds one.
        if (path.empty() || path.find_first_of("*?") != std::string::npos) return {};
        // Hidden, system and folder entries are all found; a look-up that
        // Windows refuses outright (a drive not ready, a bad name) finds nothing.
        WIN32_FIND_DATAW entry;
        HANDLE h = FindFirstFileExW(Wide(path).c_str(), FindExInfoBasic, &entry,
                                    FindExSearchNameMatch, nullptr, 0);
        if (h == INVALID_HANDLE_VALUE) return {};
        FindClose(h);
        return Utf8(entry.cFileName);
    }
};

class WindowsNameForms final : public NameForms {
public:
    std::unique_ptr<DirectoryLookup> NewLookup() override {
        return std::make_unique<FindFileLookup>();
    }

    std::string ShortPath(const std::string& path) override {
        if (path.empty()) return {};
        // Wide all the way, so names outside the code page survive. One call
        // for a usual path; a longer one gets the size the call asks for.
        // (Each call reads the folders anew, which is slow under Wine.)
        const std::wstring wide = Wide(path);
        return Utf8(GrowingBuffer([&](wchar_t* buffer, DWORD size) {
            return GetShortPathNameW(wide.c_str(), buffer, size);
        }));
    }
};

}  // namespace

std::unique_ptr<NameForms> MakeNameForms() { return std::make_unique<WindowsNameForms>(); }

}  // namespace platform::windows
