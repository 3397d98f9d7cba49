#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "TestFolders.h"
#include "platform/linux/LinuxShortcuts.h"

namespace {

using namespace testing_linux;
using platform::DesktopEntryExec;
using platform::DesktopEntryString;

// desktop-file-validate's exit status and what it printed.
std::pair<int, std::string> Validate(const std::string& path) {
    FILE* pipe = popen(("desktop-file-validate '" + path + "' 2>&1").c_str(), "r");
    std::string output;
    char buffer[512];
    while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(LinuxShortcuts, ValuesAreQuotedAndEscaped) {
    const std::vector<std::pair<std::string, std::string>> execs = {
        {"/usr/bin/clipvane", "/usr/bin/clipvane"},
        {"/opt/my apps/clipvane", R"("/opt/my apps/clipvane")"},
        {"/opt/a\"b`c`$d/clipvane", R"("/opt/a\\"b\\`c\\`\\$d/clipvane")"},
        {"/opt/back\\slash", R"("/opt/back\\\\slash")"},
        {"/opt/it's~;&|", R"("/opt/it's~;&|")"},
        {"/opt/100%", "/opt/100%%"},
        {"/opt/new\nline", R"("/opt/new\nline")"},
    };
    for (const auto& [target, expected] : execs) EXPECT_EQ(DesktopEntryExec(target), expected) << target;
    EXPECT_EQ(DesktopEntryString(" in side\\\t\n\r "), R"(\sin side\\\t\n\r\s)");
}

struct LinuxLaunchers : ::testing::Test {
    TempFolder folder;
    platform::LinuxShortcuts shortcuts;
    std::string link = folder / shortcuts.FileName();
};

TEST_F(LinuxLaunchers, TheEntryIsValidAndComplete) {
    const std::string programFolder = folder / "My \"Clip\" $vane 100%";
    std::filesystem::create_directory(programFolder);
    ASSERT_EQ(shortcuts.Create(link, programFolder + "/clipvane", "/work dir\\", "", false), "");
    const std::string entry = ReadFile(link);
    const std::string exec = "Exec=\"" + folder.path + R"(/My \\"Clip\\" \\$vane 100%%/clipvane" %F)";
    for (const std::string line : {"[Desktop Entry]", "Type=Application", "Name=Clipvane", "Comment=",
                                   "Path=/work dir\\\\", exec.c_str(), "Icon=video-x-generic", "Terminal=false"})
        EXPECT_NE(("\n" + entry).find("\n" + line + "\n"), std::string::npos) << line << " in:\n" << entry;
    EXPECT_NE(entry.find("\nMimeType=video/mp2t;video/MP2T;video/vnd.dlna.mpeg-tts;video/x-m2ts;video/mp4;"),
              std::string::npos);
    // "Open With" offers it for the other camcorders' files too: DVD, AVI, MOV, DV.
    for (const char* type : {";video/mpeg;", ";video/x-msvideo;", ";video/quicktime;", ";video/dv;", ";video/x-dv;"})
        EXPECT_NE(entry.find(type), std::string::npos) << type;
    EXPECT_EQ(Validate(link), std::make_pair(0, std::string()));

    // With the icon beside the program, and on the desktop.
    WriteFile(programFolder + "/clipvane.png", "png");
    ASSERT_EQ(shortcuts.Create(link, programFolder + "/clipvane", "/", "Convert clips", true), "");
    EXPECT_NE(ReadFile(link).find("\nIcon=" + programFolder + "/clipvane.png\n"), std::string::npos);
    EXPECT_EQ(Validate(link), std::make_pair(0, std::string()));

    // Installed: bin/clipvane with the icon in share/icons/hicolor.
    const std::string prefix = folder / "usr";
    std::filesystem::create_directories(prefix + "/share/icons/hicolor/128x128/apps");
    WriteFile(prefix + "/share/icons/hicolor/128x128/apps/clipvane.png", "png");
    std::filesystem::create_directories(prefix + "/bin");
    ASSERT_EQ(shortcuts.Create(link, prefix + "/bin/clipvane", "/", "", false), "");
    EXPECT_NE(ReadFile(link).find("\nIcon=clipvane\n"), std::string::npos);
}

TEST_F(LinuxLaunchers, OnlyTheDesktopLauncherIsExecutable) {
    for (const bool onDesktop : {false, true, false}) {
        ASSERT_EQ(shortcuts.Create(link, "/usr/bin/clipvane", "/", "", onDesktop), "");
        EXPECT_EQ(ModeOf(link), onDesktop ? 0755u : 0644u);
    }
    const std::string missing = folder / "Desktop/Clipvane.desktop";
    EXPECT_EQ(shortcuts.Create(missing, "/usr/bin/clipvane", "/", "", true),
              "cannot write " + missing + ": No such file or directory");
}

}  // namespace
