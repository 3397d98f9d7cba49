#pragma once
#include <string>
#include <string_view>

#include "text/Translate.h"

namespace intake {

using text::N_;

// A line break in the log box and in message texts.
inline constexpr std::string_view kNewLine = "\n";

inline constexpr std::string_view kProgramTitle = "Clipvane";
inline constexpr std::string_view kFolderRefusal = N_("I'm sorry. This software cannot handle folder(s).");
inline constexpr std::string_view kCountPrefix = N_("**Number of file(s): ");
inline constexpr std::string_view kListFull =
    N_("I'm sorry. No more file(s) can be added: the list already holds 32767 files, "
       "the most this software can handle.");

inline constexpr std::string_view kUsageLines[] = {
    N_("Please drag & drop video file(s) here."),
    N_("Drag & Dropping video file(s) to the Desktop icon is also OK."),
    // TRANSLATORS: the start of a sentence that the next line ends: once the
    // Setting window has put Clipvane into the file manager's menu, files can
    // be given to it from that menu too.
    N_("To change the setting, "),
    N_("please right click and \"send to\" video file(s)."),
};
// The last usage line where the file manager's menu is "Open With".
inline constexpr std::string_view kOpenWithUsageLine =
    N_("right-click the video files and choose Clipvane under \"Open With\".");

inline constexpr std::string_view kStart = N_("START");
inline constexpr std::string_view kFinish = N_("FINISH");
inline constexpr std::string_view kConverting = N_("Converting");

// The path, an empty line, then the refusal.
std::string FolderRefusalText(const std::string& path);

}  // namespace intake
