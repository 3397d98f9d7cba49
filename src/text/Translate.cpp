#include "Translate.h"

#include <cstdio>

namespace text {

using platform::CatalogInUse;

void UseCatalog(const platform::Catalog* c) { platform::UseCatalog(c); }

std::string Language() { return CatalogInUse() ? CatalogInUse()->Language() : std::string(); }

std::string Tr(std::string_view english) {
    return CatalogInUse() ? CatalogInUse()->Text(english) : std::string(english);
}

std::string TrN(std::string_view one, std::string_view many, unsigned long n) {
    if (CatalogInUse()) return CatalogInUse()->Plural(one, many, n);
    return std::string(n == 1 ? one : many);
}

std::string DataSize(std::uint64_t bytes) {
    if (CatalogInUse()) {
        std::string shown = CatalogInUse()->DataSize(bytes);
        if (!shown.empty()) return shown;
    }
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
    return size;
}

}  // namespace text
