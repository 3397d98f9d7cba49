#pragma once
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace testing_support {

// A file of `size` bytes made with the system's own call, not written out.
// Not std::filesystem::resize_file: under MinGW it goes through a C runtime
// that first checks every volume's free space, and fails where that check does.
inline void MakeLargeFile(const std::string& path, std::uint64_t size) {
#ifdef _WIN32
    const HANDLE file = CreateFileW(std::filesystem::path(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool made =
        file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
#else
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool made = file >= 0 && ftruncate(file, static_cast<off_t>(size)) == 0;
    if (file >= 0) close(file);
#endif
    if (!made) throw std::runtime_error("cannot make the large file " + path);
}

}  // namespace testing_support
