#pragma once
#include <string>
#include <string_view>

namespace platform {

// The program's texts in the user's language. The English text is the key;
// a text the catalogue lacks comes back as it is.
class Catalog {
public:
    virtual ~Catalog() = default;
    virtual std::string Text(std::string_view english) const = 0;
    // The form that fits the count: Plural("1 file", "%1 files", n).
    virtual std::string Plural(std::string_view one, std::string_view many, unsigned long n) const = 0;
    // The catalogue's language ("ja", "zh_CN"), "" where it is not known or English.
    virtual std::string Language() const { return {}; }
};

}  // namespace platform
