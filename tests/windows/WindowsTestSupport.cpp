#include "WindowsTestSupport.h"

#include <atomic>
#include <stdexcept>

namespace wintest {

namespace {

void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(h, &entry));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

TestFolder::TestFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base(temp, n);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    // The long path of the temporary folder, so tests can compare names.
    wchar_t longBase[MAX_PATH * 2];
    const DWORD m = GetLongPathNameW(base.c_str(), longBase, MAX_PATH * 2);
    if (m > 0 && m < MAX_PATH * 2) base.assign(longBase, m);
    for (;;) {
        const std::wstring candidate = base + L"\\clipvane-win-" +
                                       std::to_wstring(GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(counter++);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = Utf8(candidate);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no test folder");
    }
}

TestFolder::~TestFolder() { RemoveTree(Wide(path_)); }

void MakeFolder(const std::string& path) {
    if (!CreateDirectoryW(Wide(path).c_str(), nullptr))
        throw std::runtime_error("cannot create " + path);
}

void WriteFile(const std::string& path, const std::string& content) {
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
}

std::string ReadFile(const std::string& path) {
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(h);
    return content;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int EntryCount(const std::string& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE h = FindFirstFileW((Wide(folder) + L"\\*").c_str(), &entry);
    if (h == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") ++count;
    } while (FindNextFileW(h, &entry));
    FindClose(h);
    return count;
}

std::string ThisProgram() {
    wchar_t path[32768];
    const DWORD n = GetModuleFileNameW(nullptr, path, 32768);
    return Utf8(std::wstring(path, n));
}

ScopedVariable::ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
    wchar_t old[32768];
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(name, old, 32768);
    had_ = n > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    old_.assign(old, n);
    SetEnvironmentVariableW(name, value);
}

ScopedVariable::~ScopedVariable() {
    SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr);
}

}  // namespace wintest
