// Any bytes cut in two: telling whether the second piece continues the first
// must neither crash nor read more than the ends of the files.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = fuzzcheck::CheckStreamContinuation({reinterpret_cast<const char*>(data), size});
    if (!failure.empty()) {
        std::fprintf(stderr, "invariant failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
