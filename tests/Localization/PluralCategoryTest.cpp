#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoShared/Localization/PluralCategory.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

#include <limits>

using L10n::PluralCategory;

TEST(PluralCategory, RussianFollowsTheLastTwoDigits)
{
    constexpr auto one = PluralCategory::one;
    constexpr auto few = PluralCategory::few;
    constexpr auto many = PluralCategory::many;
    std::pair<std::int64_t, PluralCategory> const cases[] = {
        { 0, many }, { 1, one }, { 2, few }, { 4, few }, { 5, many }, { 11, many }, { 12, many }, { 14, many },
        { 21, one }, { 22, few }, { 25, many }, { 101, one }, { 102, few }, { 111, many }, { 112, many },
        // The remainders keep the sign, so no negative count is one or few.
        { -1, many }, { -2, many }, { -21, many },
        { std::numeric_limits<std::int64_t>::min(), many }, { std::numeric_limits<std::int64_t>::max(), many },
    };
    for (auto const& [count, expected] : cases)
        EXPECT_EQ(L10n::pluralCategory("ru", count), expected) << count;
}

TEST(PluralCategory, OtherLanguagesHaveOneForExactlyOne)
{
    for (auto const* base : { "en", "fr", "es" }) {
        EXPECT_EQ(L10n::pluralCategory(base, 1), PluralCategory::one) << base;
        for (std::int64_t const count : { 0, 2, -1, 21 })
            EXPECT_EQ(L10n::pluralCategory(base, count), PluralCategory::other) << base << " " << count;
    }
    for (std::int64_t const count : { 0, 1, 2, 5, 21 })
        EXPECT_EQ(L10n::pluralCategory("zh", count), PluralCategory::other) << count;
}

TEST(PluralCategory, CountTextsPickTheFormOfTheLanguageInForce)
{
    ScopedLanguage const russian("ru");
    EXPECT_EQ(L10n::accountCount(21), "21 аккаунт");
    EXPECT_EQ(L10n::accountCount(22), "22 аккаунта");
    EXPECT_EQ(L10n::accountCount(11), "11 аккаунтов");

    ScopedKeysMode const keys;
    EXPECT_EQ(L10n::readyAccountCount(3), "tray.accessibility.ready_accounts.few[3]");
    ScopedLanguage::speak("zh-Hans");
    EXPECT_EQ(L10n::accountCount(1), "accounts.count.other[1]");
    ScopedLanguage::speak("fr-CA");
    EXPECT_EQ(L10n::accountCount(1), "accounts.count.one[1]");
    EXPECT_EQ(L10n::accountCount(0), "accounts.count.other[0]");
    EXPECT_EQ(L10n::limitAvailability(3, 5), "tray.availability.with_limits[3|5]");
    EXPECT_EQ(L10n::checkedAt("09:05"), "time.checked_at[09:05]");
}
