#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testing_support {

inline void SetEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void UnsetEnv(const std::string& name) {
#ifdef _WIN32
    _putenv_s(name.c_str(), "");
#else
    unsetenv(name.c_str());
#endif
}

// Puts the stand-in converter where the program looks for one: beside the
// running program on Windows, on the search path elsewhere. Returns its path.
inline std::string InstallFakeConverter(const std::string& folder) {
#ifdef _WIN32
    (void)folder;
    char self[32768];
    const std::filesystem::path dir =
        std::filesystem::path(std::string(self, GetModuleFileNameA(nullptr, self, sizeof self))).parent_path();
    const std::filesystem::path target = dir / "ffmpeg.exe";
#else
    const std::filesystem::path target = std::filesystem::path(folder) / "ffmpeg";
    SetEnv("PATH", folder);
#endif
    std::filesystem::create_directories(target.parent_path());
    // MinGW's copy_file refuses to overwrite even when asked to.
    std::filesystem::remove(target);
    std::filesystem::copy_file(FAKE_FFMPEG_PATH, target, std::filesystem::copy_options::overwrite_existing);
    return target.string();
}

}  // namespace testing_support
