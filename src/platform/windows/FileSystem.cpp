#include <cstdio>

#include "Win32.h"
#include "WindowsPlatform.h"
#include "platform/Catalog.h"

namespace platform::windows {

namespace {

std::string DeleteWithForce(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (!DeleteFileW(path.c_str())) return ErrorText(GetLastError());
    return {};
}

// A name in the destination's folder that nothing else uses yet.
std::wstring TemporaryBeside(const std::wstring& destination, unsigned attempt) {
    const std::size_t slash = destination.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? L"" : destination.substr(0, slash + 1);
    return folder + L"~clipvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(attempt) + L".tmp";
}

class WindowsFileSystem final : public FileSystem {
public:
    bool FileExists(const std::string& path) override { return IsFile(Attributes(path)); }

    bool FolderExists(const std::string& path) override { return IsFolder(Attributes(path)); }

    bool IsNonEmptyFile(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (path.empty() || !GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
            return false;
        return IsFile(data.dwFileAttributes) && (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
    }

    bool SameFile(const std::string& a, const std::string& b) override {
        BY_HANDLE_FILE_INFORMATION first, second;
        return Identity(a, first) && Identity(b, second) &&
               first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
               first.nFileIndexHigh == second.nFileIndexHigh &&
               first.nFileIndexLow == second.nFileIndexLow;
    }

    std::string BaseName(const std::string& path) override {
        const std::size_t slash = path.find_last_of("\\/");
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const std::size_t dot = name.rfind('.');
        if (dot != std::string::npos) name.erase(dot);
        return name;
    }

    std::string DeleteFileForce(const std::string& path) override {
        return DeleteWithForce(Wide(path));
    }

    std::string CopyFileReplacing(const std::string& from, const std::string& to) override {
        const std::wstring source = Wide(from);
        const std::wstring destination = Wide(to);
        std::wstring temporary;
        for (unsigned attempt = 0;; ++attempt) {
            temporary = TemporaryBeside(destination, attempt);
            if (CopyFileW(source.c_str(), temporary.c_str(), TRUE)) break;
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
                if (attempt < 99) continue;  // someone else's; try the next name
            } else {
                DeleteWithForce(temporary);  // whatever part of the copy got written
            }
            return ErrorText(error);
        }
        if (!Rename(temporary, destination)) {
            const DWORD error = GetLastError();
            DeleteWithForce(temporary);
            return ErrorText(error);
        }
        return {};
    }

    std::string MoveReplacing(const std::string& from, const std::string& to) override {
        if (!Rename(Wide(from), Wide(to))) return ErrorText(GetLastError());
        return {};
    }

    std::string MoveToTrash(const std::string& path) override {
        // The shell wants a full path, ended by two NULs, to allow an undo.
        const std::wstring wide = Wide(path);
        std::wstring full = GrowingBuffer([&](wchar_t* buffer, DWORD size) {
            return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
        });
        if (full.empty() || !IsFile(GetFileAttributesW(full.c_str())))
            return "there is no such file";
        full.push_back(L'\0');

        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = full.c_str();  // the string's own NUL is the second one
        operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        const int result = SHFileOperationW(&operation);
        // The result codes are the shell's own, so the file's presence decides.
        if (result != 0 || operation.fAnyOperationsAborted ||
            GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%X", static_cast<unsigned>(result));
            return std::string("the Recycle Bin did not take it (shell code ") + code + ")";
        }
        return {};
    }

    std::string PrepareFolder(const std::string& path, bool /*privateToUser*/) override {
        // A user's own folders are private to them on Windows already.
        if (path.empty()) return Told(N_("no folder given"));
        if (!CreateWithParents(Wide(path))) return Told(N_("cannot create %1: %2"), {path, ErrorText(GetLastError())});
        if (!FolderExists(path)) return Told(N_("%1 is not a folder"), {path});
        return {};
    }

private:
    static bool Rename(const std::wstring& from, const std::wstring& to) {
        // Another volume makes this a copy; write-through returns only when
        // that copy is on disk.
        return MoveFileExW(
            from.c_str(), to.c_str(),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
    }

    static bool Identity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        if (path.empty()) return false;
        // No access rights asked: reading the identity works on files in use
        // and on folders (backup semantics).
        HANDLE h = CreateFileW(Wide(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const bool ok = GetFileInformationByHandle(h, &info);
        CloseHandle(h);
        return ok;
    }

    static bool CreateWithParents(const std::wstring& folder) {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return true;  // checked by the caller
        const std::size_t slash = folder.find_last_of(L"\\/");
        // Stop at the root: "C:", "" (a relative first component) or a share.
        if (slash != std::wstring::npos && slash > 0 && folder[slash - 1] != L':' &&
            folder[slash - 1] != L'\\' && folder[slash - 1] != L'/' &&
            !CreateWithParents(folder.substr(0, slash)))
            return false;
        return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    }
};

}  // namespace

std::unique_ptr<FileSystem> MakeFileSystem() { return std::make_unique<WindowsFileSystem>(); }

}  // namespace platform::windows
