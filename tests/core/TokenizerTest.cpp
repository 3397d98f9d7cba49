#include <gtest/gtest.h>

#include "intake/Tokenizer.h"

namespace {

using Tokens = std::vector<std::string>;

struct Case {
    const char* name;
    std::string line;
    Tokens tokens;
};

// CTest lists each case by its name, not by its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TokenizerCases : public ::testing::TestWithParam<Case> {};

TEST_P(TokenizerCases, SplitsAsTheStateTableSays) {
    EXPECT_EQ(intake::Tokenize(GetParam().line), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TokenizerCases,
    ::testing::Values(
        Case{"Empty", "", {}},
        Case{"SpacesOnly", "    ", {}},
        Case{"OneUnquoted", R"(C:\a.MTS)", {R"(C:\a.MTS)"}},
        Case{"RunsOfSpacesMakeNoEmptyTokens", R"(   C:\a.MTS    C:\b.MTS  )", {R"(C:\a.MTS)", R"(C:\b.MTS)"}},
        Case{"QuotedKeepsItsQuotesAndSpaces", R"("D:\Clips\Beach day.MTS")", {R"("D:\Clips\Beach day.MTS")"}},
        Case{"WorkedExample", R"(C:\Videos\BIRTHD~1.MTS "D:\Clips\Beach day.MTS")",
             {R"(C:\Videos\BIRTHD~1.MTS)", R"("D:\Clips\Beach day.MTS")"}},
        Case{"QuotedThenSpaceThenMore", R"("C:\a b.MTS" C:\c.MTS)", {R"("C:\a b.MTS")", R"(C:\c.MTS)"}},
        Case{"CharactersAfterClosingQuoteDropped", R"("C:\a b.MTS"x C:\c)", {R"("C:\a b.MTS")", R"(C:\c)"}},
        Case{"DroppedUpToTheEnd", R"("C:\a b.MTS"xyz)", {R"("C:\a b.MTS")"}},
        Case{"QuoteInsideUnquotedIsOrdinary", R"(C:\a"b.MTS)", {R"(C:\a"b.MTS)"}},
        Case{"TwoQuotesAloneAreAnEmptyQuotedToken", R"("")", {R"("")"}},
        Case{"DoubledQuoteInsideQuotesStaysDoubled", R"("C:\a""b.MTS")", {R"("C:\a""b.MTS")"}},
        Case{"UnterminatedLastQuoteIsDiscarded", R"(C:\a.MTS "C:\b c.MTS)", {R"(C:\a.MTS)"}},
        Case{"TabIsOrdinary", "C:\\a\tb.MTS", {"C:\\a\tb.MTS"}},
        Case{"QuoteOpensMidLineAfterSpace", R"(x "y z")", {"x", R"("y z")"}},
        Case{"QuoteAfterDroppedCharacterReopensTheToken", R"("a"b"c d)", {}}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
