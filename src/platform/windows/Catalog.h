#pragma once
#include "platform/Catalog.h"
#include "platform/MoFile.h"

namespace platform::windows {

// The catalogue built into the program (an RCDATA resource named after its
// language, "ja" or "zh_CN") for the user's interface language: the language
// with its country first, then the language alone, else English.
class ResourceCatalog : public Catalog {
public:
    ResourceCatalog();
    // The catalogue for a language name such as "de-AT" or "zh-CN".
    explicit ResourceCatalog(const std::wstring& localeName);
    std::string Text(std::string_view english) const override;
    std::string Plural(std::string_view one, std::string_view many, unsigned long n) const override;
    // As Explorer writes sizes in the user's language; English keeps the program's.
    std::string DataSize(std::uint64_t bytes) const override;

    // The resource it read, or "" for English.
    std::string Language() const override { return language_; }

private:
    MoFile mo_;
    std::string language_;
};

}  // namespace platform::windows
