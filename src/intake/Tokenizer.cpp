#include "Tokenizer.h"

namespace intake {

namespace {
enum State { kBetween = 0, kQuoted = 1, kQuoteInQuotes = 2, kUnquoted = 3 };
}

std::vector<std::string> Tokenize(std::string_view sCommandLine) {
    std::vector<std::string> tokens;
    std::string token;
    State state = kBetween;
    auto store = [&] {
        tokens.push_back(std::move(token));
        token.clear();
    };
    for (char c : sCommandLine) {
        switch (state) {
            case kBetween:
                if (c == '"') {
                    token += c;
                    state = kQuoted;
                } else if (c != ' ') {
                    token += c;
                    state = kUnquoted;
                }
                break;
            case kQuoted:
                if (c == '"')
                    state = kQuoteInQuotes;
                else
                    token += c;
                break;
            case kQuoteInQuotes:
                if (c == '"') {
                    token += "\"\"";
                    state = kQuoted;
                } else if (c == ' ') {
                    token += '"';
                    store();
                    state = kBetween;
                }  // any other character after a closing quote is dropped
                break;
            case kUnquoted:
                if (c == ' ') {
                    store();
                    state = kBetween;
                } else {
                    token += c;
                }
                break;
        }
    }
    if (state == kQuoteInQuotes) {
        token += '"';
        store();
    } else if (state == kUnquoted) {
        store();
    }  // kQuoted: an unterminated quoted token is discarded
    return tokens;
}

}  // namespace intake
