#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/FileAccess.h"

namespace media {

// The moment a camcorder recorded a clip, as its clock and zone said.
struct RecordedAt {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // Local time minus UTC, daylight saving time included.
    int offsetMinutes = 0;
    platform::UnixSeconds utc = 0;
};

// How much of a clip's start is searched: the date comes with the first
// pictures, and a damaged clip must not make us read gigabytes.
inline constexpr std::uint64_t kDateSearchBytes = 4u << 20;

// The recording date that AVCHD camcorders write into the H.264 stream of a
// transport stream (192-byte packets with a 4-byte prefix, or 188-byte
// ones), looked for in the first `limit` bytes only. The first valid date
// wins; nothing when there is none.
std::optional<RecordedAt> ReadRecordingDate(platform::ByteSource& clip,
                                            std::uint64_t limit = kDateSearchBytes);

// The date in the camcorder's block of entries (from "MDPM" on).
std::optional<RecordedAt> ParseMdpm(const std::uint8_t* data, std::size_t size);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);

}  // namespace media
