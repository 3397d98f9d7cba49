#pragma once
#include <cstddef>
#include <string_view>

namespace platform {

// How absolute paths are spelled: the separator, how many leading characters
// stay as written (a drive such as "C:"), and where the search for the first
// component's separator starts (1-based, past the root).
// `separators` are all the characters read as one: Windows reads "/" too.
struct PathStyle {
    char separator;
    std::size_t keptPrefix;
    std::size_t firstSearch;
    const char* separators;

    // The last component of a path.
    std::string_view FileName(std::string_view path) const { return path.substr(path.find_last_of(separators) + 1); }
};

inline constexpr PathStyle kWindowsPaths{'\\', 2, 4, "\\/"};
inline constexpr PathStyle kPosixPaths{'/', 0, 2, "/"};

#ifdef _WIN32
inline constexpr PathStyle kNativePaths = kWindowsPaths;
#else
inline constexpr PathStyle kNativePaths = kPosixPaths;
#endif

}  // namespace platform
