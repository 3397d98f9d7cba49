#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace convert {

inline constexpr std::string_view kConvertingStatus = "Converting AVCHD video files for iPhone/iPad/iPod...";
inline constexpr std::string_view kTransferringStatus = "Transferring a video file to the Desktop...";
inline constexpr std::string_view kFailedStatus = "Failed to convert the video file.";
inline constexpr std::string_view kFinishedStatus =
    "Finished converting the video file(s) for iPhone/iPad/iPod.";
inline constexpr std::string_view kWouldReplaceInput =
    "Skipped: the converted file would replace the video file itself.";
inline constexpr std::string_view kCopyFailedStatus = "Failed to copy the video file to the Desktop: ";

// The transfer's status once it takes more than a moment: "... (2.1 GB)".
std::string TransferringStatus(std::uint64_t bytes);

inline constexpr std::string_view kSuccessWord = " SUCCESS";
inline constexpr std::string_view kFailWord = " FAIL";
inline constexpr std::string_view kFinishedLine = "**Finished**";

}  // namespace convert
