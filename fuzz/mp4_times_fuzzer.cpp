// Any bytes as a converted file: the patcher must neither crash nor change
// the length, and may change only the time fields it reports.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = fuzzcheck::CheckMp4Times({reinterpret_cast<const char*>(data), size});
    if (!failure.empty()) {
        std::fprintf(stderr, "invariant failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
