// Any bytes as the start of a clip: the date reader must neither crash nor
// ask for more than its bound, and a date it finds must be a real one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = fuzzcheck::CheckRecordingDate({reinterpret_cast<const char*>(data), size});
    if (!failure.empty()) {
        std::fprintf(stderr, "invariant failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
