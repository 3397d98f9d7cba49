#include "Recordings.h"

#include <memory>

#include "media/StreamContinuation.h"

namespace convert {

std::vector<int> RecordingSpans(const std::vector<std::string>& paths, platform::FileAccess& access,
                                const std::function<void()>& between) {
    std::vector<int> spans(paths.size(), 1);
    std::unique_ptr<platform::OpenFile> previous;
    std::size_t first = 0;  // of the recording at hand
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string error;
        auto file = paths[i].empty() ? nullptr : access.Open(paths[i], false, error);
        if (i > 0 && previous && file && media::ContinuesStream(*previous, *file)) {
            ++spans[first];
            spans[i] = 0;
        } else {
            first = i;
        }
        previous = std::move(file);
        between();
    }
    return spans;
}

}  // namespace convert
