#include "TavvoShared/Localization/NumberFormatting.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

namespace {

Foundation::Decimal decimal(std::string_view text)
{
    return *Foundation::Decimal::fromString(text);
}

}

TEST(NumberFormatting, DecimalsRoundHalfToEvenWithoutPadding)
{
    ScopedLanguage const language("en");
    std::tuple<std::string_view, int, std::string_view> const cases[] = {
        { "2.5", 0, "2" }, { "3.5", 0, "4" }, { "-2.5", 0, "-2" },
        { "0.125", 2, "0.12" }, { "0.135", 2, "0.14" }, { "3", 2, "3" }, { "12.50", 2, "12.5" },
        { "1234567.891", 1, "1,234,567.9" },
        // Exact beyond what a double holds: 38 significant digits.
        { "12345678901234567890123456789012345678", 0, "12,345,678,901,234,567,890,123,456,789,012,345,678" },
        { "0.00000000000000000000000000000000000001", 38, "0.00000000000000000000000000000000000001" },
        // A negative digit count means none.
        { "7.5", -3, "8" },
    };
    for (auto const& [value, digits, expected] : cases)
        EXPECT_EQ(L10n::localizedDecimal(decimal(value), digits), expected) << value << " " << digits;
}

TEST(NumberFormatting, TheLanguageDecidesMarksAndPlacement)
{
    ScopedLanguage const language("en");
    // Decimal | dollars | integer. Grouping in Russian is a no-break space,
    // in French a narrow one.
    std::pair<std::string, std::string> const cases[] = {
        { "en", "-1,234.5 | -$1,234.5 | -1,234,567" },
        { "ru", "-1\u00A0234,5 | -1\u00A0234,5\u00A0$ | -1\u00A0234\u00A0567" },
        { "zh-Hans", "-1,234.5 | -US$1,234.5 | -1,234,567" },
        { "fr", "-1\u202F234,5 | -1\u202F234,5\u00A0$US | -1\u202F234\u202F567" },
        { "es", "-1234,5 | -1234,5\u00A0US$ | -1.234.567" },
    };
    for (auto const& [code, expected] : cases) {
        ScopedLanguage::speak(code);
        EXPECT_EQ(L10n::localizedDecimal(decimal("-1234.5"), 2) + " | " + L10n::localizedCurrencyUSD(decimal("-1234.5"), 2) + " | "
                + L10n::localizedInteger(-1234567),
            expected);
    }
    ScopedLanguage::speak("en");
    EXPECT_EQ(L10n::localizedCurrencyUSD(decimal("12"), 2), "$12");
}

TEST(NumberFormatting, TheProcessLocaleHasNoSay)
{
    ScopedLanguage const language("en");
    ScopedEnvironment const german { { "LC_ALL", "de_DE.UTF-8" } };
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(L10n::localizedDecimal(decimal("1234.5"), 1), "1,234.5");
    std::setlocale(LC_ALL, "C");
}
