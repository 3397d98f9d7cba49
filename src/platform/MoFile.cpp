#include "MoFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// The C subset that Plural-Forms rules use, evaluated as it is read.
class Rule {
public:
    Rule(std::string_view text, unsigned long n) : text_(text), n_(n) {}
    bool Evaluate(unsigned long& value) {
        value = Conditional();
        Skip();
        return ok_ && at_ == text_.size();
    }

private:
    void Skip() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
    }
    bool Take(std::string_view token) {
        Skip();
        if (text_.substr(at_, token.size()) != token) return false;
        // "<" is not "<=", "!" is not "!=".
        if (token.size() == 1 && at_ + 1 < text_.size() && text_[at_ + 1] == '=' && std::strchr("<>!=", token[0]))
            return false;
        at_ += token.size();
        return true;
    }
    unsigned long Conditional() {
        const unsigned long condition = Or();
        if (!Take("?")) return condition;
        const unsigned long yes = Conditional();
        if (!Take(":")) ok_ = false;
        const unsigned long no = Conditional();
        return condition ? yes : no;
    }
    unsigned long Or() {
        unsigned long v = And();
        while (Take("||")) v = (And() || v) ? 1 : 0;
        return v;
    }
    unsigned long And() {
        unsigned long v = Equality();
        while (Take("&&")) v = (Equality() && v) ? 1 : 0;
        return v;
    }
    unsigned long Equality() {
        unsigned long v = Relation();
        for (;;) {
            if (Take("=="))
                v = v == Relation();
            else if (Take("!="))
                v = v != Relation();
            else
                return v;
        }
    }
    unsigned long Relation() {
        unsigned long v = Sum();
        for (;;) {
            if (Take("<="))
                v = v <= Sum();
            else if (Take(">="))
                v = v >= Sum();
            else if (Take("<"))
                v = v < Sum();
            else if (Take(">"))
                v = v > Sum();
            else
                return v;
        }
    }
    unsigned long Sum() {
        unsigned long v = Product();
        for (;;) {
            if (Take("+"))
                v += Product();
            else if (Take("-"))
                v -= Product();
            else
                return v;
        }
    }
    unsigned long Product() {
        unsigned long v = Unary();
        for (;;) {
            if (Take("*")) {
                v *= Unary();
            } else if (Take("/") || Take("%")) {
                const bool remainder = text_[at_ - 1] == '%';
                const unsigned long d = Unary();
                v = d == 0 ? 0 : remainder ? v % d : v / d;
            } else {
                return v;
            }
        }
    }
    unsigned long Unary() {
        if (Take("!")) return Unary() ? 0 : 1;
        if (Take("(")) {
            const unsigned long v = Conditional();
            if (!Take(")")) ok_ = false;
            return v;
        }
        Skip();
        if (at_ < text_.size() && text_[at_] == 'n') {
            ++at_;
            return n_;
        }
        if (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            unsigned long v = 0;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
                v = v * 10 + static_cast<unsigned long>(text_[at_++] - '0');
            return v;
        }
        ok_ = false;
        return 0;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    unsigned long n_;
    bool ok_ = true;
};

std::uint32_t Word(std::string_view bytes, std::size_t at, bool swapped) {
    if (at + 4 > bytes.size()) return 0;
    std::uint32_t w;
    std::memcpy(&w, bytes.data() + at, 4);
    if (swapped) w = (w >> 24) | ((w >> 8) & 0xff00) | ((w << 8) & 0xff0000) | (w << 24);
    return w;
}

// The value of one header field ("Plural-Forms: ..."), up to the line's end.
std::string_view Field(std::string_view header, std::string_view name) {
    const std::size_t at = header.find(name);
    if (at == std::string_view::npos) return {};
    const std::size_t start = at + name.size();
    return header.substr(start, header.find('\n', start) - start);
}

}  // namespace

unsigned long PluralIndex(std::string_view rule, unsigned long n) {
    unsigned long value = 0;
    return Rule(rule, n).Evaluate(value) ? value : 0;
}

MoFile::MoFile(std::string_view bytes) {
    constexpr std::uint32_t kMagic = 0x950412de;
    bool swapped = false;
    if (Word(bytes, 0, false) != kMagic) {
        swapped = true;
        if (Word(bytes, 0, true) != kMagic) return;
    }
    const std::uint32_t count = Word(bytes, 8, swapped);
    const std::uint32_t originals = Word(bytes, 12, swapped);
    const std::uint32_t translations = Word(bytes, 16, swapped);
    auto string = [&](std::uint32_t table, std::uint32_t i, std::string_view& out) {
        const std::uint32_t length = Word(bytes, table + 8 * i, swapped);
        const std::uint32_t offset = Word(bytes, table + 8 * i + 4, swapped);
        if (offset > bytes.size() || length > bytes.size() - offset) return false;
        out = bytes.substr(offset, length);
        return true;
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view id, text;
        if (!string(originals, i, id) || !string(translations, i, text)) {
            texts_.clear();
            return;
        }
        if (id.empty()) {
            const std::string_view rule = Field(text, "plural=");
            if (!rule.empty()) pluralRule_ = std::string(rule.substr(0, rule.find(';')));
            const std::string_view forms = Field(text, "nplurals=");
            if (!forms.empty()) forms_ = std::strtoul(std::string(forms).c_str(), nullptr, 10);
            continue;
        }
        // A plural entry's id is "one\0many"; it is found by its first form.
        texts_.emplace(std::string(id.substr(0, id.find('\0'))), std::string(text));
    }
}

std::string MoFile::Text(std::string_view english) const {
    const auto found = texts_.find(std::string(english));
    if (found == texts_.end() || english.empty()) return std::string(english);
    return found->second.substr(0, found->second.find('\0'));
}

std::string MoFile::Plural(std::string_view one, std::string_view many, unsigned long n) const {
    const auto found = texts_.find(std::string(one));
    if (found == texts_.end()) return std::string(n == 1 ? one : many);
    unsigned long index = PluralIndex(pluralRule_, n);
    if (index >= forms_) index = 0;
    std::string_view forms = found->second;
    for (; index > 0 && forms.find('\0') != std::string_view::npos; --index) forms.remove_prefix(forms.find('\0') + 1);
    return std::string(forms.substr(0, forms.find('\0')));
}

}  // namespace platform
