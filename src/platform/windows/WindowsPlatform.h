#pragma once
// The Windows services, each made on its own, so that tests can build one
// with its own folders; MakeNativePlatform puts them together.
#include <memory>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace platform::windows {

// The argument part of a command line as Windows writes it: what follows the
// program's own path (quoted or not) and the blanks after it, unchanged.
std::wstring ArgumentPart(std::wstring_view commandLine);

std::unique_ptr<Environment> MakeEnvironment();
std::unique_ptr<FileSystem> MakeFileSystem();
std::unique_ptr<FileAccess> MakeFileAccess();
std::unique_ptr<NameForms> MakeNameForms();
std::unique_ptr<SpecialFolders> MakeSpecialFolders();
// Looks for the converter in `programFolder` only.
std::unique_ptr<ProcessLauncher> MakeProcessLauncher(std::string programFolder);
std::unique_ptr<Shortcuts> MakeShortcuts();
// Asks Windows to stay awake (ES_CONTINUOUS | ES_SYSTEM_REQUIRED) while held.
std::unique_ptr<SleepInhibitor> MakeSleepInhibitor();

}  // namespace platform::windows
