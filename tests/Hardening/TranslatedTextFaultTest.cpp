// Translated texts that a broken string table could hold, found by fuzzing:
// each is refused as a whole, never a thrown exception or an allocation
// sized by a number in the text.
#include "TavvoShared/Localization/FormattedText.hpp"

#include <gtest/gtest.h>

#include <string>

TEST(TranslatedTextFaults, MalformedPositionsAreRefusedBeforeFormatting)
{
    // The first made the list of kinds throw std::length_error; the next
    // two asked for gigabytes; a position with leading zeros was accepted
    // and then made the formatting throw; a zero flag is no position.
    for (std::string const text : { "%00000000000017938878571701105096$s87857", "%4000000000$s", "%1$s %400000000$lld",
             "%000000000001$lld", "%01$s", "%0s", "%05d", "%18446744073709551615$s", "%2$s", "%1$s %3$s" }) {
        EXPECT_FALSE(L10n::argumentKinds(text)) << text;
        EXPECT_FALSE(L10n::formattedText(text, { std::string("a") })) << text;
    }
    // Positions up to the number of conversions, in any order, still work.
    EXPECT_EQ(L10n::formattedText("%3$s%1$s%2$s", { std::string("a"), std::string("b"), std::string("c") }), "cab");
    EXPECT_EQ(L10n::formattedText("%1$lld %1$lld", { std::int64_t { 7 } }), "7 7");
}
