#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <limits>

using std::chrono::minutes;

namespace {

constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();

using DurationTexts = KeysInEnglish;

}

TEST_F(DurationTexts, DurationsUseTheLargestUnitThatDividesExactly)
{
    std::pair<std::int64_t, std::string> const cases[] = {
        { 0, "duration.days.short[0]" }, { 1440, "duration.days.short[1]" }, { 2880, "duration.days.short[2]" },
        { 120, "duration.hours.short[2]" }, { 1500, "duration.hours.short[25]" }, { 90, "duration.minutes.short[90]" },
        { -60, "duration.hours.short[-1]" }, { -1, "duration.minutes.short[-1]" },
        { int64Min, "duration.minutes.short[-9223372036854775808]" }, { int64Max, "duration.minutes.short[9223372036854775807]" },
    };
    for (auto const& [count, expected] : cases)
        EXPECT_EQ(L10n::durationLabel(minutes(count)), expected) << count;
}

TEST_F(DurationTexts, WindowsHaveTheirOwnNames)
{
    EXPECT_EQ(L10n::windowLabel(std::nullopt, "Limit"), "Limit");
    std::pair<std::int64_t, std::string> const cases[] = {
        { 60, "duration.hours.short[1]" }, { 300, "duration.hours.short[5]" }, { 10080, "duration.week" },
        { 1440, "duration.hours.short[24]" }, // a day is named in hours
        { 2880, "duration.days.short[2]" }, { 45, "duration.minutes.short[45]" },
    };
    for (auto const& [count, expected] : cases)
        EXPECT_EQ(L10n::windowLabel(minutes(count), "x"), expected) << count;
}

TEST_F(DurationTexts, CountdownTruncatesAtEveryBoundary)
{
    using std::chrono::milliseconds;
    using std::chrono::seconds;
    auto const now = at("2026-03-01T12:00:00Z");
    std::pair<std::int64_t, std::string> const cases[] = {
        // Anything under two minutes, and anything past, reads as one minute.
        { -86400, "duration.minutes.short[1]" }, { 0, "duration.minutes.short[1]" }, { 119, "duration.minutes.short[1]" },
        { 120, "duration.minutes.short[2]" }, { 3599, "duration.minutes.short[59]" }, { 3600, "duration.hours.short[1]" },
        { 3659, "duration.hours.short[1]" }, { 3660, "duration.hours_minutes[1|1]" }, { 86399, "duration.hours_minutes[23|59]" },
        { 86400, "duration.days.short[1]" }, { 89999, "duration.days.short[1]" }, { 90000, "duration.days_hours[1|1]" },
    };
    for (auto const& [ahead, expected] : cases)
        EXPECT_EQ(L10n::countdown(now + seconds(ahead), now), expected) << ahead;

    EXPECT_EQ(L10n::countdown(std::nullopt, now), std::nullopt);
    // A fraction of a second still to come does not make a whole one.
    EXPECT_EQ(L10n::countdown(now + seconds(120), now + std::chrono::microseconds(1)), "duration.minutes.short[1]");
    // The moment is taken in whole seconds, truncated toward zero: 119.8
    // seconds, not 120.5; before the epoch -0.5 s becomes 0, not -1.
    EXPECT_EQ(L10n::countdown(now + seconds(120) + milliseconds(700), now + milliseconds(200)), "duration.minutes.short[1]");
    EXPECT_EQ(L10n::countdown(Foundation::Date(-milliseconds(500)), Foundation::Date(-std::chrono::hours(3))), "duration.hours.short[3]");
}

TEST_F(DurationTexts, CountdownStaysDefinedAtTheEndsOfTheRange)
{
    using Foundation::Date;
    // Far beyond any real reset, but a text all the same and no overflow.
    for (auto const now : { at("0001-01-01T00:00:00Z"), at("9999-12-31T23:59:59Z"), Date::min(), Date::max() }) {
        EXPECT_EQ(L10n::countdown(Date::min(), now), "duration.minutes.short[1]");
        auto const far = L10n::countdown(Date::max(), now);
        ASSERT_TRUE(far);
        EXPECT_TRUE(far->starts_with(now == Date::max() ? "duration.minutes" : "duration.days")) << *far;
    }
    EXPECT_EQ(L10n::countdown(Date::max(), at("1970-01-01T00:00:00Z")), "duration.days_hours[106751991|4]");
}
