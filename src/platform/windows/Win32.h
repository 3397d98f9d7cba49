#pragma once
// The Windows headers, in the one order that compiles, for every file of this
// layer and its tests; and the UTF-8/UTF-16 conversions at the boundary: the
// core speaks UTF-8, the system only ever sees wide strings (W functions).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
// clang-format off
// windows.h first: the others need it.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <string>
#include <string_view>

namespace platform::windows {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The attributes of a path, INVALID_FILE_ATTRIBUTES when there is nothing.
inline DWORD Attributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Wide(path).c_str());
}
inline bool IsFile(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
inline bool IsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// COM, once for the program's life, on the window thread (shortcuts, the
// task bar). A toolkit that initialised COM first keeps its own mode.
void EnsureCom();

// The system's own wording for an error code (GetLastError or HRESULT).
std::string ErrorText(DWORD code);

// Calls fill(buffer, size) until the result fits: fill returns the length
// written (without NUL) when it fits, or a size to grow to, or 0 on failure.
template <typename Fill>
std::wstring GrowingBuffer(Fill fill) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(n > buffer.size() ? n : buffer.size() * 2);
    }
}

}  // namespace platform::windows
