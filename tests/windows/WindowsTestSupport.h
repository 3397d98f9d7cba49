#pragma once
// Windows-native helpers for the platform tests: folders under the user's
// temporary folder (real drive paths, so the name forms run as on Windows),
// files written through the wide API, and this test program started again
// as a child that does one thing (see ChildModes.cpp).
#include <string>

#include "platform/windows/Win32.h"

namespace wintest {

using platform::windows::Utf8;
using platform::windows::Wide;

// A fresh folder, removed with everything in it (read-only files too).
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& str() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void MakeFolder(const std::string& path);
void WriteFile(const std::string& path, const std::string& content = "data");
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// The names in a folder, "." and ".." left out.
int EntryCount(const std::string& folder);
std::string ThisProgram();

// Sets (or, given nullptr, removes) an environment variable for the life of
// the object.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::wstring name_;
    std::wstring old_;
    bool had_;
};

// The variable that turns this program into a child; its value says what to
// do: "hang", "exit:<code>", "argv:<file>", "report:<file>", "orphan:<file>"
// or "leave:<file>".
inline constexpr const wchar_t* kChildVariable = L"CLIPVANE_TEST_CHILD";

}  // namespace wintest
