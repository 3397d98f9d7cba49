#pragma once
#include <cstdint>
#include <initializer_list>
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
    // A size as the user's system writes sizes ("2,1 Go"); "" for the
    // program's own English form ("2.1 GB").
    virtual std::string DataSize(std::uint64_t bytes) const {
        (void)bytes;
        return {};
    }
};

// The catalogue the program speaks through from now on; nullptr for English.
void UseCatalog(const Catalog* catalog);
const Catalog* CatalogInUse();

// Marks a text for the catalogue without translating it yet.
constexpr std::string_view N_(std::string_view english) { return english; }

// The pattern with each "%1", "%2", ... replaced by its argument.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// A reason the platform gives in its own words ("cannot create %1: %2"), in
// the catalogue in use; the system's own text (strerror, FormatMessage) goes
// in as an argument, as the system gave it.
std::string Told(std::string_view pattern, std::initializer_list<std::string_view> arguments = {});

}  // namespace platform
