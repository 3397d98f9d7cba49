#pragma once
#include <optional>
#include <string>

#include "platform/FileAccess.h"

namespace convert {

// When the clip was recorded: the camcorder's date in the video itself, or
// else the clip file's modification time; nothing when neither can be read.
std::optional<platform::UnixSeconds> RecordingTime(platform::FileAccess& access,
                                                   const std::string& clip);

// Writes the time into the result's MP4 header in place; "" or the reason.
std::string DateResult(platform::FileAccess& access, const std::string& result,
                       platform::UnixSeconds time);

}  // namespace convert
