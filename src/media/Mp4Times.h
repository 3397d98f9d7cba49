#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileAccess.h"

namespace media {

// MP4 times count seconds from 1904-01-01 UTC.
inline constexpr std::int64_t kMp4EpochToUnix = 2082844800;

// Where one box keeps its creation time, followed by its modification time.
struct TimeFields {
    std::uint64_t offset = 0;
    unsigned width = 4;  // 4 bytes in a box of version 0, 8 in version 1
};

// The time fields of the movie header and of every track and media header;
// empty, with the reason in `problem`, when the box tree is damaged or has
// no movie header.
std::vector<TimeFields> FindMp4TimeFields(platform::ByteSource& file, std::string& problem);

// Sets every creation and modification time of the movie, its tracks and
// their media to `time`, in place: only those bytes change, and none at all
// when the header cannot be read or a field cannot hold the time.
// "" on success, otherwise the reason.
std::string PatchMp4Times(platform::ByteSource& in, platform::ByteSink& out,
                          platform::UnixSeconds time);

}  // namespace media
