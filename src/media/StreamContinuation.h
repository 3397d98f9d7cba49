#pragma once
#include <cstdint>

#include "platform/FileAccess.h"

namespace media {

// The most a continuation check reads at either side of the cut.
inline constexpr std::uint64_t kLongestLook = 1u << 20;

// True when `next` carries on, byte for byte, the stream that `previous`
// broke off: the pieces a camcorder splits one recording into at its file
// limit. Transport streams (188- or 192-byte packets): every stream's
// continuity counter goes on and so do the clocks (PCR, PTS). Program
// streams (2048-byte packs): the SCR and the PTS go on. A recording of its
// own starts afresh, with its own clocks. Only a few KiB at `previous`'s end
// and `next`'s start are read, more only while nothing is decided yet.
bool ContinuesStream(platform::ByteSource& previous, platform::ByteSource& next);

}  // namespace media
