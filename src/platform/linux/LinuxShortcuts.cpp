#include "LinuxShortcuts.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

#include <cerrno>

#include "LauncherTrust.h"
#include "Paths.h"
#include "platform/Catalog.h"

namespace platform {

namespace {

// AVCHD, HDV and TOD transport streams; DVD camcorders' program streams
// (.VOB; a .MOD goes by its name for tracker music); DV; AVI; MP4 and MOV.
constexpr const char* kMimeTypes =
    "video/mp2t;video/MP2T;video/vnd.dlna.mpeg-tts;video/x-m2ts;video/mp4;video/quicktime;"
    "video/mpeg;video/x-msvideo;video/x-matroska;video/webm;video/3gpp;video/x-ms-wmv;"
    "video/x-flv;video/ogg;video/dv;video/x-dv;";

constexpr const char* kFallbackIcon = "video-x-generic";

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string DesktopEntryString(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '\n': escaped += "\\n"; break;
            case '\t': escaped += "\\t"; break;
            case '\r': escaped += "\\r"; break;
            case ' ':
                // Readers trim spaces around a value; an escaped one survives.
                escaped += (i == 0 || i + 1 == text.size()) ? "\\s" : " ";
                break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string DesktopEntryExec(const std::string& program) {
    // First the quoting of the Exec command line itself...
    std::string argument = program;
    if (program.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos) {
        argument = "\"";
        for (const char c : program) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') argument += '\\';
            argument += c;
        }
        argument += '"';
    }
    // ...then Exec is a string value like any other, and '%' starts a field code.
    std::string value;
    for (const char c : DesktopEntryString(argument)) {
        if (c == '%') value += '%';
        value += c;
    }
    return value;
}

std::string LinuxShortcuts::FileName() { return "Clipvane.desktop"; }

std::string LinuxShortcuts::TargetName() { return "clipvane"; }

std::string LinuxShortcuts::Create(const std::string& linkPath, const std::string& target,
                                   const std::string& workingFolder,
                                   const std::string& description, bool onDesktop) {
    // The build puts the icon beside the program; an installed program has
    // its own in the icon theme; a generic theme icon stands in otherwise.
    const std::string folder = posix_detail::FolderOf(target);
    const std::string iconFile = folder + "/clipvane.png";
    const bool installedIcon = IsRegularFile(folder + "/../share/icons/hicolor/128x128/apps/clipvane.png");
    const std::string icon = IsRegularFile(iconFile) ? DesktopEntryString(iconFile)
                             : installedIcon         ? "clipvane"
                                                     : kFallbackIcon;

    std::string entry;
    entry += "[Desktop Entry]\n";
    entry += "Type=Application\n";
    entry += "Name=Clipvane\n";
    entry += "Comment=" + DesktopEntryString(description) + "\n";
    entry += "Path=" + DesktopEntryString(workingFolder) + "\n";
    entry += "Exec=" + DesktopEntryExec(target) + " %F\n";
    entry += "Icon=" + icon + "\n";
    entry += "Terminal=false\n";
    entry += std::string("MimeType=") + kMimeTypes + "\n";
    entry += "Categories=AudioVideo;Video;\n";

    // Desktops run only launchers marked executable.
    const mode_t mode = onDesktop ? 0755 : 0644;
    const auto failure = [&](int cause) {
        return Told(N_("cannot write %1: %2"), {linkPath, posix_detail::Reason(cause)});
    };
    const int fd = open(linkPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return failure(errno);

    int error = 0;
    const char* data = entry.data();
    std::size_t left = entry.size();
    while (left > 0 && !error) {
        const ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno != EINTR) error = errno;
            continue;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    // An existing file keeps its old mode through open(); set it explicitly.
    if (!error && fchmod(fd, mode) != 0) error = errno;
    if (close(fd) != 0 && !error) error = errno;
    if (error) {
        // Half a launcher is worse than none.
        unlink(linkPath.c_str());
        return failure(error);
    }
    // GNOME and Xfce run a desktop launcher only once it is marked trusted.
    if (onDesktop) posix_detail::MarkLauncherTrusted(linkPath, entry);
    return {};
}

void LinuxShortcuts::FolderChanged(const std::string& folder) {
    // File managers find "Open With" programs through the folder's MIME
    // cache; rebuild it when the tool is there. Failing is harmless: the
    // launcher itself is written either way.
    const char* arguments[] = {"update-desktop-database", "-q", folder.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, arguments[0], nullptr, nullptr, const_cast<char**>(arguments), environ) != 0) return;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace platform
