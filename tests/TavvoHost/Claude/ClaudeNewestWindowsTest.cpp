#include "TavvoHost/Claude/ClaudeNewestWindows.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TavvoHost::ClaudeModelWindow;
using TavvoHost::ClaudeObservation;
using TavvoHost::UsageWindow;

auto const early = at("2026-09-04T05:00:00Z");
auto const late = at("2026-09-04T06:00:00Z");

UsageWindow fiveHour(double used, std::optional<Foundation::Date> reset = std::nullopt)
{
    return { TavvoHost::fiveHourWindow, used, reset };
}

UsageWindow weekly(double used, std::optional<Foundation::Date> reset = std::nullopt)
{
    return { TavvoHost::weeklyWindow, used, reset };
}

TEST(ClaudeNewestWindows, TakesEachWindowFromTheNewestSourceThatHoldsIt)
{
    ClaudeModelWindow const opus { "Opus", weekly(10) };
    ClaudeModelWindow const opusLater { "Opus", weekly(12) };
    ClaudeModelWindow const sonnet { "Sonnet", weekly(3) };
    struct Case {
        std::string name;
        std::vector<ClaudeObservation> observations;
        std::optional<ClaudeObservation> merged;
    };
    std::vector<Case> const cases {
        { "nothing", {}, std::nullopt },
        { "only observations without a window", { { late, std::nullopt, std::nullopt, {} }, { early, std::nullopt, std::nullopt, {} } },
            std::nullopt },
        { "a newer one without a window is no reading",
            { { early, fiveHour(84), weekly(86), {} }, { late, std::nullopt, std::nullopt, {} } },
            ClaudeObservation { early, fiveHour(84), weekly(86), {} } },
        { "the newer one's windows, the older one's for the rest",
            { { early, fiveHour(84), weekly(86), { opus } }, { late, fiveHour(90), std::nullopt, { sonnet } } },
            ClaudeObservation { late, fiveHour(90), weekly(86), { sonnet, opus } } },
        { "a model's window from the newer one", { { late, std::nullopt, std::nullopt, { opusLater } }, { early, fiveHour(5), std::nullopt, { opus } } },
            ClaudeObservation { late, fiveHour(5), std::nullopt, { opusLater } } },
        { "of the same time, the first", { { late, fiveHour(1), std::nullopt, {} }, { late, fiveHour(2), weekly(3), {} } },
            ClaudeObservation { late, fiveHour(1), weekly(3), {} } },
        // Reset between the two observations: the older share is no longer true.
        { "an older window that has reset since is left out",
            { { early, fiveHour(84, at("2026-09-04T05:30:00Z")), weekly(86, at("2026-09-04T06:00:00Z")), {} },
                { late, std::nullopt, std::nullopt, { opus } } },
            ClaudeObservation { late, std::nullopt, std::nullopt, { opus } } },
        { "an older window resetting later stays",
            { { early, fiveHour(84, at("2026-09-04T06:00:01Z")), std::nullopt, {} }, { late, std::nullopt, weekly(1), {} } },
            ClaudeObservation { late, fiveHour(84, at("2026-09-04T06:00:01Z")), weekly(1), {} } },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoHost::newestClaudeWindows(item.observations), item.merged) << item.name;
}

}
