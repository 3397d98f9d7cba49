#include "Catalog.h"

namespace platform {

namespace {
const Catalog* inUse = nullptr;
}

void UseCatalog(const Catalog* catalog) { inUse = catalog; }

const Catalog* CatalogInUse() { return inUse; }

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const std::size_t index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < arguments.size()) {
            out += arguments.begin()[index];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string Told(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
    return Fill(inUse ? inUse->Text(pattern) : std::string(pattern), arguments);
}

}  // namespace platform
