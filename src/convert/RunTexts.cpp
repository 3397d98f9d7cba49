#include "RunTexts.h"

#include <cstdio>

namespace convert {

std::string TransferringStatus(std::uint64_t bytes) {
    // Decimal units, one decimal place, as file managers show sizes.
    const char* unit = "KB";
    double value = static_cast<double>(bytes) / 1e3;
    for (const char* larger : {"MB", "GB"}) {
        if (value < 1000) break;
        value /= 1000;
        unit = larger;
    }
    char size[32];
    std::snprintf(size, sizeof size, "%.1f %s", value, unit);
    return text::Tr(kTransferringStatus) + " (" + size + ")";
}

}  // namespace convert
