#pragma once
#include <cstddef>

namespace platform {

// How absolute paths are spelled: the separator, how many leading characters
// stay as written (a drive such as "C:"), and where the search for the first
// component's separator starts (1-based, past the root).
struct PathStyle {
    char separator;
    std::size_t keptPrefix;
    std::size_t firstSearch;
};

inline constexpr PathStyle kWindowsPaths{'\\', 2, 4};
inline constexpr PathStyle kPosixPaths{'/', 0, 2};

#ifdef _WIN32
inline constexpr PathStyle kNativePaths = kWindowsPaths;
#else
inline constexpr PathStyle kNativePaths = kPosixPaths;
#endif

}  // namespace platform
