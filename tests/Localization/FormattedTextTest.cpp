#include "TavvoShared/Localization/FormattedText.hpp"

#include <gtest/gtest.h>

#include <limits>

using L10n::Argument;
using L10n::formattedText;

TEST(FormattedText, FillsConversionsThatFitTheArguments)
{
    struct Case {
        std::string text;
        std::vector<Argument> arguments;
        std::string expected;
    };
    Case const cases[] = {
        { "%2$lld 个中 %1$lld 个可用", { 3, 5 }, "5 个中 3 个可用" },
        { "%lld%% left", { 42 }, "42% left" },
        { "%d|%i|%ld|%li|%lld|%lli", { 1, 2, 3, 4, 5, 6 }, "1|2|3|4|5|6" },
        { "%s, %s", { std::string("a"), std::string("b") }, "a, b" },
        { "%2$s %1$lld %2$s", { 7, std::string("n") }, "n 7 n" },
        // Integers are plain digits over the full 64-bit range.
        { "%lld", { std::numeric_limits<std::int64_t>::min() }, "-9223372036854775808" },
        { "%d", { 1234567890123 }, "1234567890123" },
        // Texts pass through byte for byte, percent signs and NULs included.
        { "[%s]", { std::string("100% %d\0z", 9) }, std::string("[100% %d\0z]", 11) },
    };
    for (auto const& test : cases)
        EXPECT_EQ(formattedText(test.text, test.arguments), test.expected) << test.text;
}

TEST(FormattedText, RefusesConversionsThatDoNotFit)
{
    struct Case {
        std::string text;
        std::vector<Argument> arguments;
    };
    Case const cases[] = {
        // Wrong count, an argument left out.
        { "%lld and %lld", { 1 } }, { "%lld", { 1, 2 } }, { "no conversion", { 1 } }, { "%2$lld", { 1, 2 } },
        // Wrong kind.
        { "%s", { 1 } }, { "%lld", { std::string("1") } }, { "%1$s %1$lld", { 1 } },
        // Positions out of range, or mixed with sequential conversions.
        { "%3$s", { std::string("a"), std::string("b") } }, { "%0$s", { std::string("a") } },
        { "%99999999999999999999$s", { std::string("a") } }, { "%1$s %s", { std::string("a"), std::string("b") } },
        // Malformed, or printf features the texts never use.
        { "100% done %s", { std::string("a") } }, { "%", { 1 } }, { "%1$", { 1 } }, { "%5lld", { 1 } },
        { "%-d", { 1 } }, { "%hd", { 1 } }, { "%ls", { std::string("a") } }, { "%x", { 1 } }, { "%n", { 1 } },
        { "%*d", { 1, 2 } }, { "%@", { std::string("a") } },
    };
    for (auto const& test : cases)
        EXPECT_EQ(formattedText(test.text, test.arguments), std::nullopt) << test.text;
}
