#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/FileAccess.h"

namespace convert {

// How the listed files make recordings. A camcorder splits a long recording
// into files that continue each other byte for byte; listed one after
// another, they convert as one. For each file: how many files, from it on,
// make its recording (1 for a file of its own), or 0 for a file joined to
// the one before it. `between` is called after each file is looked at.
std::vector<int> RecordingSpans(const std::vector<std::string>& paths, platform::FileAccess& access,
                                const std::function<void()>& between);

}  // namespace convert
