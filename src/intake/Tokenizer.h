#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace intake {

// Splits a Windows-style argument string into raw tokens. Only spaces separate;
// a token that opens with a double quote keeps that quote and gets exactly one
// closing quote, a doubled quote inside quotes stays doubled, characters after
// a closing quote up to the next space are dropped, and an unterminated quoted
// token at the end is discarded.
std::vector<std::string> Tokenize(std::string_view sCommandLine);

}  // namespace intake
