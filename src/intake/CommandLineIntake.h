#pragma once
#include "FileList.h"
#include "IntakeView.h"
#include "platform/Environment.h"
#include "platform/FileMenu.h"
#include "platform/FileSystem.h"
#include "platform/NameForms.h"
#include "platform/PathStyle.h"

namespace intake {

// The main window's load event: reads the temporary folder and the program's
// arguments, and either fills the file list from them (refusing folders) or
// writes the usage text into the log box.
void LoadFromCommandLine(FileList& list, platform::Environment& environment,
                         platform::NameForms& names, platform::FileSystem& files,
                         IntakeView& view, platform::PathStyle style = platform::kNativePaths);

// The usage text: four lines, each ended by a line break; the last names the
// file manager's menu that Setting puts Clipvane into.
std::string UsageText(platform::FileMenu menu = platform::kNativeFileMenu);

}  // namespace intake
