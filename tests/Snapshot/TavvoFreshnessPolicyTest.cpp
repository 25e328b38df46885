#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace std::chrono_literals;
using Foundation::Date;
using TavvoFreshnessPolicy::defaultTTL;
using TavvoFreshnessPolicy::freshUntil;
using TavvoFreshnessPolicy::isFresh;

TEST(TavvoFreshnessPolicy, IsFreshWithinTheTimeToLive)
{
    Date const observed = at("2026-01-31T09:00:00Z");
    EXPECT_TRUE(isFresh(observed, observed, defaultTTL));
    EXPECT_TRUE(isFresh(observed, observed + 899s, defaultTTL));
    EXPECT_FALSE(isFresh(observed, observed + 900s, defaultTTL)) << "the end is exclusive";
    EXPECT_FALSE(isFresh(observed + 1s, observed, defaultTTL)) << "an observation from the future";
    EXPECT_FALSE(isFresh(std::nullopt, observed, defaultTTL));
    EXPECT_FALSE(isFresh(observed, observed, 0));
    EXPECT_FALSE(isFresh(observed, observed, std::nan("")));
    EXPECT_TRUE(isFresh(observed, observed + 1'000'000h, std::numeric_limits<double>::infinity()));
    // Near the ends of the range the window saturates instead of wrapping.
    EXPECT_TRUE(isFresh(Date::max() - 10s, Date::max() - 1s, 1e300));
    EXPECT_FALSE(isFresh(Date::min(), Date::min() + 1s, -1e300));
}

TEST(TavvoFreshnessPolicy, FreshUntilIsTheEarliestCandidate)
{
    Date const observed = at("2026-01-31T09:00:00Z");
    EXPECT_EQ(freshUntil(observed, { observed + 5min, observed + 2h }, defaultTTL), observed + 5min);
    EXPECT_EQ(freshUntil(observed, {}, defaultTTL), observed + 900s);
    EXPECT_EQ(freshUntil(observed, { observed - 1h, observed + 1min }, defaultTTL), observed - 1h);
    EXPECT_EQ(freshUntil(std::nullopt, { observed }, defaultTTL), std::nullopt);
    EXPECT_EQ(freshUntil(observed, {}, std::nan("")), observed);

    // A record carrying a reset before its observation is never fresh.
    TavvoWidgetProviderSnapshot const record { TavvoWidgetProviderID::codex, "Codex", std::nullopt,
        TavvoWidgetProviderStatus::available, {}, observed, freshUntil(observed, { observed - 1h }, defaultTTL), std::nullopt };
    for (Date const when : { observed - 2h, observed - 1h, observed, observed + 1s })
        EXPECT_FALSE(record.isFresh(when));
}

TEST(TavvoWidgetProviderSnapshot, IsFreshUsesItsOwnWindow)
{
    Date const observed = at("2026-01-31T09:00:00Z");
    TavvoWidgetProviderSnapshot record { TavvoWidgetProviderID::claude, "Claude", std::nullopt,
        TavvoWidgetProviderStatus::available, {}, observed, observed + 10min, std::nullopt };
    EXPECT_TRUE(record.isFresh(observed + 10min - 1us));
    EXPECT_FALSE(record.isFresh(observed + 10min));
    EXPECT_FALSE(record.isFresh(observed - 1us));

    record.freshUntil.reset();
    EXPECT_FALSE(record.isFresh(observed));
    record.freshUntil = observed + 10min;
    record.observedAt.reset();
    EXPECT_FALSE(record.isFresh(observed));
}
