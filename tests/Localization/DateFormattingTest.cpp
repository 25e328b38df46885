#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <thread>

TEST(DateFormatting, EveryLanguageUsesItsOwnForms)
{
    ScopedLanguage const language("en", "UTC");
    auto const date = at("2026-01-31T21:05:00Z");
    // Time | date | with the year | month | day and time | the same in UTC.
    std::pair<std::string, std::string> const cases[] = {
        { "en", "21:05 | Jan 31 | Jan 31, 2026 | Jan | Jan 31, 21:05 | 31 Jan, 21:05" },
        { "ru", "21:05 | 31 янв. | 31 янв. 2026\u202Fг. | янв. | 31 янв., 21:05 | 31 янв., 21:05" },
        { "zh-Hans", "21:05 | 1月31日 | 2026年1月31日 | 1月 | 1月31日 21:05 | 31 1月, 21:05" },
        { "fr", "21:05 | 31 janv. | 31 janv. 2026 | janv. | 31 janv., 21:05 | 31 janv., 21:05" },
        { "es", "21:05 | 31 ene | 31 ene 2026 | ene | 31 ene, 21:05 | 31 ene, 21:05" },
    };
    for (auto const& [code, expected] : cases) {
        ScopedLanguage::speak(code);
        EXPECT_EQ(L10n::shortTime(date) + " | " + L10n::shortDate(date) + " | " + L10n::shortDateWithYear(date) + " | "
                + L10n::shortMonth(date) + " | " + L10n::shortDayTime(date) + " | " + L10n::shortDayTimeUTC(date),
            expected);
    }
}

TEST(DateFormatting, UTCFormsIgnoreTheLocalZone)
{
    ScopedLanguage const language("en", "Asia/Tokyo");
    auto const date = at("2026-01-31T23:30:00Z");
    EXPECT_EQ(L10n::shortDateUTC(date), "Jan 31");
    EXPECT_EQ(L10n::shortDate(date), "Feb 1");
    EXPECT_EQ(L10n::shortMonthUTC(date), "Jan");
    EXPECT_EQ(L10n::shortMonth(date), "Feb");
    EXPECT_EQ(L10n::shortDateWithYearUTC(at("2026-12-31T23:30:00Z")), "Dec 31, 2026");
    EXPECT_EQ(L10n::shortDateWithYear(at("2026-12-31T23:30:00Z")), "Jan 1, 2027");
    EXPECT_EQ(L10n::shortDayTimeUTC(date), "31 Jan, 23:30");

    // A change of zone takes effect at the very next call.
    ScopedEnvironment const newYork { { "TZ", "America/New_York" } };
    EXPECT_EQ(L10n::shortTime(date), "18:30");
}

TEST(DateFormatting, TheEndsOfTheDateRangeStillFormat)
{
    ScopedLanguage const language("en", "UTC");
    EXPECT_EQ(L10n::shortDateWithYearUTC(at("0001-01-01T00:00:00Z")), "Jan 1, 0001");
    EXPECT_EQ(L10n::shortDayTimeUTC(at("9999-12-31T23:59:59Z")), "31 Dec, 23:59");
    // Microseconds below a whole minute never round up into the next one.
    EXPECT_EQ(L10n::shortTime(at("2026-01-31T21:05:59Z") + std::chrono::microseconds(999999)), "21:05");
    for (auto const extreme : { Foundation::Date::min(), Foundation::Date::max() })
        EXPECT_FALSE(L10n::shortDayTime(extreme).empty());
}

TEST(DateFormatting, ConcurrentCallsAgree)
{
    ScopedLanguage const language("ru", "UTC");
    auto const date = at("2026-01-31T21:05:00Z");
    std::vector<std::thread> threads;
    std::atomic<int> mismatches = 0;
    for (int thread = 0; thread < 4; ++thread) {
        threads.emplace_back([&] {
            for (int call = 0; call < 50; ++call)
                mismatches += L10n::shortDayTimeUTC(date) != "31 янв., 21:05";
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, 0);
}
