#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace std::chrono_literals;
using Foundation::Date;

namespace {

TavvoWidgetLimitSnapshot limit(std::string id, std::optional<std::int64_t> percent, std::optional<Date> reset = std::nullopt)
{
    return { id, id + " title", percent, reset };
}

TavvoWidgetProviderSnapshot provider(TavvoWidgetProviderID id, std::vector<TavvoWidgetLimitSnapshot> limits,
    std::optional<Date> observedAt = std::nullopt, std::optional<Date> freshUntil = std::nullopt)
{
    return { id, "title", std::nullopt, TavvoWidgetProviderStatus::available, std::move(limits), observedAt, freshUntil,
        std::nullopt };
}

}

TEST(TavvoWidgetLimitQueries, BindingLimitIsTheLeastRemaining)
{
    constexpr auto minimum = std::numeric_limits<std::int64_t>::min();
    constexpr auto maximum = std::numeric_limits<std::int64_t>::max();
    struct Case {
        std::vector<TavvoWidgetLimitSnapshot> limits;
        std::optional<std::string> expected;
    };
    Case const cases[] = {
        { {}, std::nullopt },
        { { limit("A", std::nullopt), limit("B", std::nullopt) }, "A" },
        { { limit("A", std::nullopt), limit("B", 30) }, "B" },
        { { limit("A", 40), limit("B", std::nullopt), limit("C", 40), limit("D", 55) }, "A" },
        { { limit("A", maximum), limit("B", minimum), limit("C", minimum) }, "B" },
    };
    for (auto const& c : cases) {
        auto const found = provider(TavvoWidgetProviderID::codex, c.limits).bindingLimit();
        EXPECT_EQ(found ? std::optional(found->id) : std::nullopt, c.expected);
    }
}

TEST(TavvoWidgetLimitQueries, KnownAndLastKnownLimits)
{
    Date const observed = at("2026-01-31T09:00:00Z");
    EXPECT_FALSE(provider(TavvoWidgetProviderID::claude, {}, observed).hasKnownLimits());
    EXPECT_FALSE(provider(TavvoWidgetProviderID::claude, { limit("A", std::nullopt) }, observed).hasKnownLimits());
    EXPECT_TRUE(provider(TavvoWidgetProviderID::claude, { limit("A", std::nullopt), limit("B", 0) }).hasKnownLimits());

    auto failed = provider(TavvoWidgetProviderID::claude, { limit("A", 12) }, observed);
    failed.status = TavvoWidgetProviderStatus::error; // neither status nor freshness matter
    EXPECT_TRUE(failed.hasLastKnownClaudeLimits());
    failed.observedAt.reset();
    EXPECT_FALSE(failed.hasLastKnownClaudeLimits());
    EXPECT_FALSE(provider(TavvoWidgetProviderID::codex, { limit("A", 12) }, observed).hasLastKnownClaudeLimits());
    EXPECT_FALSE(provider(TavvoWidgetProviderID::claude, { limit("A", std::nullopt) }, observed).hasLastKnownClaudeLimits());
}

TEST(TavvoWidgetLimitQueries, CompactSurfaceShowsFreshKnownLimitsNotYetReset)
{
    Date const now = at("2026-01-31T09:00:00Z");
    auto const record = provider(TavvoWidgetProviderID::codex,
        { limit("A", 50, now + 1s), limit("B", 20, now), limit("C", std::nullopt), limit("D", 70), limit("E", 5, now - 1h) },
        now - 1min, now + 5min);
    EXPECT_EQ(record.limitsForCompactSurface(now), (std::vector { record.limits[0], record.limits[3] }));
    EXPECT_TRUE(record.limitsForCompactSurface(now + 5min).empty()) << "asked at freshUntil";

    auto noWindow = record;
    noWindow.freshUntil.reset();
    EXPECT_TRUE(noWindow.limitsForCompactSurface(now).empty());
    EXPECT_TRUE(provider(TavvoWidgetProviderID::codex, {}, now, now + 1h).limitsForCompactSurface(now).empty());
}
