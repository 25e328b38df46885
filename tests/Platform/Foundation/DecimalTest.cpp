#include "Platform/Foundation/Decimal.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <unordered_set>

using Foundation::Decimal;

TEST(Decimal, ReadsAndDescribesExactly)
{
    struct Case {
        const char* text;
        const char* description;
    };
    Case const cases[] = {
        { "0", "0" },
        { "-0", "0" },
        { "0.000", "0" },
        { "12.50", "12.5" },
        { "-0.05", "-0.05" },
        { "1E+2", "100" },
        { "1234.5e-3", "1.2345" },
        { "1200", "1200" },
        // 38 significant digits survive as written, with no trip through double.
        { "1234567890123456789012345678.9012345678", "1234567890123456789012345678.9012345678" },
        // Beyond 38 digits: round half to even.
        { "1.000000000000000000000000000000000000050", "1" },
        { "1.000000000000000000000000000000000000150", "1.0000000000000000000000000000000000002" },
        { "100000000000000000000000000000000000005", "100000000000000000000000000000000000000" },
        { "100000000000000000000000000000000000015", "100000000000000000000000000000000000020" },
        { "100000000000000000000000000000000000005000001", "100000000000000000000000000000000000010000000" },
        { "99999999999999999999999999999999999999.5", "100000000000000000000000000000000000000" },
    };
    for (auto const& c : cases) {
        auto const decimal = Decimal::fromString(c.text);
        ASSERT_TRUE(decimal) << c.text;
        EXPECT_EQ(decimal->description(), c.description) << c.text;
    }
}

TEST(Decimal, RefusesWhatIsNotANumberOrOutOfRange)
{
    for (const char* text : { "", "-", "+1", "01", "1.", ".5", "1e", "1e+", "0x10", "1,5", " 1", "1 ", "NaN", "inf",
             "1e128", "1e-129", "1e99999999999999999999999", "1e-99999999999999999999999" }) {
        EXPECT_FALSE(Decimal::fromString(text)) << text;
    }
    // Zero has no exponent to overflow, however it is written.
    EXPECT_EQ(Decimal::fromString("0e99999999999999999999")->description(), "0");
    // Trailing zeros move into the exponent before the range is judged.
    EXPECT_EQ(Decimal::fromString("1000e124")->description().size(), 128u);
}

TEST(Decimal, IntegersAtTheExtremes)
{
    EXPECT_EQ(Decimal::fromInteger(std::numeric_limits<std::int64_t>::min()).description(), "-9223372036854775808");
    EXPECT_EQ(Decimal::fromInteger(std::numeric_limits<std::int64_t>::max()).description(), "9223372036854775807");
    EXPECT_EQ(Decimal::fromInteger(0), Decimal());
}

TEST(Decimal, ScalesByPowersOfTenExactly)
{
    auto const value = *Decimal::fromString("1234");
    EXPECT_EQ(value.scaledByPowerOfTen(-3)->description(), "1.234");
    EXPECT_EQ(value.scaledByPowerOfTen(2)->description(), "123400");
    EXPECT_FALSE(value.scaledByPowerOfTen(200));
    EXPECT_FALSE(value.scaledByPowerOfTen(std::numeric_limits<std::int64_t>::min()));
    EXPECT_FALSE(value.scaledByPowerOfTen(std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(Decimal().scaledByPowerOfTen(std::numeric_limits<std::int64_t>::max()), Decimal());
}

TEST(Decimal, EqualValuesAreEqualAndHashAlike)
{
    EXPECT_EQ(*Decimal::fromString("1.50"), *Decimal::fromString("15e-1"));
    EXPECT_NE(*Decimal::fromString("1.5"), *Decimal::fromString("-1.5"));
    std::unordered_set<Decimal> set { *Decimal::fromString("1.50"), *Decimal::fromString("15e-1") };
    EXPECT_EQ(set.size(), 1u);
}
