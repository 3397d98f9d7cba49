#pragma once
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace testing_linux {

// A fresh folder under /tmp, removed with its contents at the end.
struct TempFolder {
    std::string path;
    TempFolder(const TempFolder&) = delete;
    TempFolder() {
        char pattern[] = "/tmp/clipvane-test-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

inline void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string ReadFile(const std::string& path) {
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

inline mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// Sets (nullopt: unsets) an environment variable until the end of the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

struct ScopedCurrentFolder {
    std::filesystem::path old = std::filesystem::current_path();
    explicit ScopedCurrentFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~ScopedCurrentFolder() { std::filesystem::current_path(old); }
};

}  // namespace testing_linux
