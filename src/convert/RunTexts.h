#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/Translate.h"

namespace convert {

using text::N_;

inline constexpr std::string_view kConvertingStatus = N_("Converting AVCHD video files for iPhone/iPad/iPod...");
inline constexpr std::string_view kTransferringStatus = N_("Transferring a video file to the Desktop...");
inline constexpr std::string_view kFailedStatus = N_("Failed to convert the video file.");
inline constexpr std::string_view kFinishedStatus = N_("Finished converting the video file(s) for iPhone/iPad/iPod.");
inline constexpr std::string_view kWouldReplaceInput =
    N_("Skipped: the converted file would replace the video file itself.");
inline constexpr std::string_view kCopyFailedStatus = N_("Failed to copy the video file to the Desktop: ");

// The transfer's status once it takes more than a moment: "... (2.1 GB)".
std::string TransferringStatus(std::uint64_t bytes);

// A file's line in the log, before its outcome: "No. 1: /path/clip.MTS...".
// TRANSLATORS: %1 is the file's place in the list, %2 its path.
inline constexpr std::string_view kLogLine = N_("No. %1: %2...");
std::string LogLine(int number, const std::string& path);

// After the line of a file joined to the one before it, as pieces of one
// recording: "No. 2: /path/00001.MTS... (joined to No. 1)".
// TRANSLATORS: %1 is the place in the list of the recording's first file.
inline constexpr std::string_view kJoinedTo = N_(" (joined to No. %1)");
std::string JoinedToText(int number);

inline constexpr std::string_view kSuccessWord = N_(" SUCCESS");
inline constexpr std::string_view kFailWord = N_(" FAIL");
inline constexpr std::string_view kFinishedLine = N_("**Finished**");

// What a progress window shows, in the user's language, on every face.
std::string ConvertingTitle(const std::string& fileName);  // "Converting Garden.MTS"
std::string PlaceText(int number, int count);              // "2 of 5"
std::string ElapsedText(std::chrono::milliseconds spent);  // "Elapsed 0:07"
// "About 1:20 left", or "" while the rate cannot be told.
std::string TimeLeftText(std::optional<std::chrono::seconds> left);

// The end-of-run notice's title and text, e.g. "3 files converted, 1 failed."
std::string RunEndTitle();
std::string RunEndText(int converted, int failed);

}  // namespace convert
