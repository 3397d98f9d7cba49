#include "Translate.h"

namespace text {

namespace {
const platform::Catalog* catalog = nullptr;
}

void UseCatalog(const platform::Catalog* c) { catalog = c; }

std::string Language() { return catalog ? catalog->Language() : std::string(); }

std::string Tr(std::string_view english) { return catalog ? catalog->Text(english) : std::string(english); }

std::string TrN(std::string_view one, std::string_view many, unsigned long n) {
    if (catalog) return catalog->Plural(one, many, n);
    return std::string(n == 1 ? one : many);
}

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

}  // namespace text
