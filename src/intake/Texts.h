#pragma once
#include <string>
#include <string_view>

namespace intake {

// A line break in the log box and in message texts.
inline constexpr std::string_view kNewLine = "\n";

inline constexpr std::string_view kProgramTitle = "Clipvane";
inline constexpr std::string_view kFolderRefusal = "I'm sorry. This software cannot handle folder(s).";
inline constexpr std::string_view kCountPrefix = "**Number of file(s): ";
inline constexpr std::string_view kListFull =
    "I'm sorry. No more file(s) can be added: the list already holds 32767 files, "
    "the most this software can handle.";

inline constexpr std::string_view kUsageLines[] = {
    "Please drag & drop video file(s) here.",
    "Drag & Dropping video file(s) to the Desktop icon is also OK.",
    "To change the setting, ",
    "please right click and \"send to\" video file(s).",
};

inline constexpr std::string_view kStart = "START";
inline constexpr std::string_view kFinish = "FINISH";
inline constexpr std::string_view kConverting = "Converting";

// The path, an empty line, then the refusal.
std::string FolderRefusalText(const std::string& path);

}  // namespace intake
