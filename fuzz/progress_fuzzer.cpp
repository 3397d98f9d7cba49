// Feeds arbitrary converter output to the progress reader, split into chunks
// at points taken from the input, and checks what every front-end relies on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = fuzzcheck::CheckProgress({reinterpret_cast<const char*>(data), size});
    if (!failure.empty()) {
        std::fprintf(stderr, "invariant failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
