#include "ResultDate.h"

#include "media/Mp4Times.h"
#include "media/RecordingDate.h"

namespace convert {

std::optional<platform::UnixSeconds> RecordingTime(platform::FileAccess& access,
                                                   const std::string& clip) {
    std::string error;
    if (auto file = access.Open(clip, false, error)) {
        if (auto date = media::ReadRecordingDate(*file)) return date->utc;
    }
    // Camcorders set it when they record, and careful copies keep it.
    return access.ModificationTime(clip);
}

std::string DateResult(platform::FileAccess& access, const std::string& result,
                       platform::UnixSeconds time) {
    std::string error;
    auto file = access.Open(result, true, error);
    if (!file) return error;
    return media::PatchMp4Times(*file, *file, time);
}

}  // namespace convert
