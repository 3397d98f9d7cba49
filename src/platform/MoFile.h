#pragma once
// A gettext catalogue as msgfmt writes it (.mo), read from memory: for the
// system that has no gettext of its own, whose catalogues travel inside the
// program. Plain C++, so its tests run everywhere.
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform {

class MoFile {
public:
    MoFile() = default;
    // An empty catalogue when the bytes are not a catalogue.
    explicit MoFile(std::string_view bytes);

    bool Empty() const { return texts_.empty(); }
    std::string Text(std::string_view english) const;
    std::string Plural(std::string_view one, std::string_view many, unsigned long n) const;

private:
    std::unordered_map<std::string, std::string> texts_;  // msgid (singular) to msgstr
    std::string pluralRule_ = "n != 1";
    unsigned long forms_ = 2;
};

// The form index that a Plural-Forms rule ("n != 1", "n > 1", "0", the
// nested conditions of other languages) gives for n; 0 when it is not C.
unsigned long PluralIndex(std::string_view rule, unsigned long n);

}  // namespace platform
