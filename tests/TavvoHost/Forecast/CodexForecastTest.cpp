#include "TavvoHost/Forecast/CodexForecast.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TavvoHost::UsageWindow;
using TavvoHost::weeklyWindow;
using State = TavvoWidgetForecastState;

struct Case {
    std::string name;
    UsageWindow weekly;
    Foundation::Date observedAt;
    State state;
    std::optional<Foundation::Date> exhaustion;
};

// The window of every case runs from 1 June 00:00 to 8 June 00:00 UTC.
UsageWindow week(std::optional<double> used)
{
    return { weeklyWindow, used, at("2026-06-08T00:00:00Z") };
}

TEST(CodexForecast, FollowsThePaceOfTheWindowSoFar)
{
    std::vector<Case> const cases {
        { "nothing used yet", week(0), at("2026-06-03T00:00:00Z"), State::collecting, std::nullopt },
        { "a negative share counts as nothing used", week(-5), at("2026-06-03T00:00:00Z"), State::collecting, std::nullopt },
        { "59 minutes into the window", week(40), at("2026-06-01T00:59:00Z"), State::collecting, std::nullopt },
        { "observed before the window began", week(40), at("2026-05-30T00:00:00Z"), State::collecting, std::nullopt },
        { "exactly an hour in", week(50), at("2026-06-01T01:00:00Z"), State::exhaustsBeforeReset, at("2026-06-01T02:00:00Z") },
        // Two days in with 50% used: the rest lasts two more days.
        { "half used in two days", week(50), at("2026-06-03T00:00:00Z"), State::exhaustsBeforeReset, at("2026-06-05T00:00:00Z") },
        // Three and a half days in with 50% used runs out exactly at the reset: that lasts.
        { "runs out exactly at the reset", week(50), at("2026-06-04T12:00:00Z"), State::lastsUntilReset, std::nullopt },
        { "a slow pace", week(10), at("2026-06-06T00:00:00Z"), State::lastsUntilReset, std::nullopt },
        // Past 100%, the predicted instant lies before the observation.
        { "already over the limit", week(200), at("2026-06-03T00:00:00Z"), State::exhaustsBeforeReset, at("2026-06-02T00:00:00Z") },
        { "observed after the reset", week(90), at("2026-06-09T00:00:00Z"), State::lastsUntilReset, std::nullopt },
        { "unknown share", week(std::nullopt), at("2026-06-03T00:00:00Z"), State::collecting, std::nullopt },
        { "unknown reset", { weeklyWindow, 50, std::nullopt }, at("2026-06-03T00:00:00Z"), State::collecting, std::nullopt },
        { "unknown length", { std::nullopt, 50, at("2026-06-08T00:00:00Z") }, at("2026-06-03T00:00:00Z"), State::collecting, std::nullopt },
    };
    for (auto const& item : cases) {
        auto const forecast = TavvoHost::forecastWeeklyWindow(item.weekly, item.observedAt);
        EXPECT_EQ(forecast.state, item.state) << item.name;
        EXPECT_EQ(forecast.predictedExhaustionAt, item.exhaustion) << item.name;
    }
}

TEST(CodexForecast, ExtremeValuesStayInRange)
{
    // A reset near the end of the representable years and a tiny share
    // must neither overflow nor produce a date outside the range.
    UsageWindow const far { weeklyWindow, 1e-300, at("9999-12-31T00:00:00Z") };
    auto const forecast = TavvoHost::forecastWeeklyWindow(far, at("9999-12-30T00:00:00Z"));
    EXPECT_EQ(forecast.state, State::lastsUntilReset);
}

}
