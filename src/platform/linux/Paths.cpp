#include "Paths.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace platform::posix_detail {

std::string CurrentFolder() {
    char* buffer = getcwd(nullptr, 0);
    if (!buffer) return {};
    std::string folder(buffer);
    std::free(buffer);
    return folder;
}

std::string MakeAbsolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    std::string folder = CurrentFolder();
    // Without a current folder the relative path is the best we have.
    if (folder.empty()) return path;
    if (folder.back() != '/') folder += '/';
    return folder + path;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string LastComponent(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Reason(int error) {
    // strerror_r in its GNU form may return a static string instead of
    // filling the buffer.
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

}  // namespace platform::posix_detail
