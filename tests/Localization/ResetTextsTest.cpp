#include "TavvoShared/Localization/ResetTexts.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

TEST(ResetTexts, TodayIsJudgedInTheTimeZoneInForce)
{
    ScopedLanguage const english("en", "Europe/Paris");
    ScopedKeysMode const keys;
    // 23:00 in Paris (UTC+1 in winter).
    auto const now = at("2026-01-14T22:00:00Z");

    EXPECT_EQ(L10n::resetCompactText(now, now), "reset.stale.compact");
    EXPECT_EQ(L10n::resetExpandedText(now - std::chrono::hours(1), now), "reset.stale.expanded");
    EXPECT_EQ(L10n::resetCompactText(now + std::chrono::seconds(1), now), "reset.today.compact[23:00]");
    EXPECT_EQ(L10n::resetExpandedText(at("2026-01-14T22:59:59Z"), now), "reset.today.expanded[23:59]");
    // Still the 14th in UTC, already tomorrow in Paris.
    EXPECT_EQ(L10n::resetCompactText(at("2026-01-14T23:30:00Z"), now), "reset.other_day.compact[Jan 15, 00:30]");
    // The year is never shown, however far away.
    EXPECT_EQ(L10n::resetExpandedText(at("2029-06-01T10:00:00Z"), now), "reset.other_day.expanded[Jun 1, 12:00]");

    // A daylight-saving change keeps the local day: clocks go from 02:00 to
    // 03:00 on 29 March 2026, and that day is 23 hours long.
    auto const springNow = at("2026-03-28T23:30:00Z"); // 00:30 local, the 29th
    EXPECT_EQ(L10n::resetCompactText(at("2026-03-29T21:59:00Z"), springNow), "reset.today.compact[23:59]");
    EXPECT_EQ(L10n::resetCompactText(at("2026-03-29T22:00:00Z"), springNow), "reset.other_day.compact[Mar 30, 00:00]");
    EXPECT_EQ(L10n::resetCompactText(at("2026-03-29T01:00:00Z"), springNow), "reset.today.compact[03:00]");

    // The same instants seen from UTC are one day.
    ScopedEnvironment const utc { { "TZ", "UTC" } };
    EXPECT_EQ(L10n::resetCompactText(at("2026-01-14T23:30:00Z"), now), "reset.today.compact[23:30]");
}

TEST(ResetTexts, TimestampsShowOnlyWhatTodayDoesNotSay)
{
    ScopedLanguage const language("en", "Asia/Tokyo");
    auto const now = at("2026-12-07T03:00:00Z"); // 12:00 in Tokyo
    auto const nbsp = std::string("\u00A0");

    EXPECT_EQ(L10n::timestampText(at("2026-12-06T15:00:00Z"), now), "00:00");
    EXPECT_EQ(L10n::timestampText(at("2026-12-06T14:59:00Z"), now), "Dec" + nbsp + "6," + nbsp + "23:59");
    EXPECT_EQ(L10n::timestampText(at("2025-12-31T14:59:00Z"), now), "Dec" + nbsp + "31," + nbsp + "2025," + nbsp + "23:59");
    // New Year in Tokyo while UTC is still in the old year.
    EXPECT_EQ(L10n::timestampText(at("2025-12-31T15:00:00Z"), now), "Jan" + nbsp + "1," + nbsp + "00:00");

    ScopedLanguage::speak("zh-Hans");
    EXPECT_EQ(L10n::timestampText(at("2025-12-31T14:59:00Z"), now), "2025年12月31日" + nbsp + "23:59");
    for (auto const& code : L10n::supportedLocalizations()) {
        ScopedLanguage::speak(code);
        for (auto const date : { now, at("2026-01-02T00:00:00Z"), at("1999-01-02T00:00:00Z") })
            EXPECT_EQ(L10n::timestampText(date, now).find(' '), std::string::npos) << code;
    }
}
