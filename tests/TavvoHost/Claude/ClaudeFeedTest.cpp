#include "TavvoHost/Claude/ClaudeFeed.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/FileMode.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

using TavvoHost::ClaudeFeedWrite;
using TavvoHost::ClaudeObservation;
using TavvoHost::UsageWindow;

ClaudeObservation observation(Foundation::Date observedAt, double fiveHourUsed = 23.5)
{
    return {
        observedAt,
        UsageWindow { TavvoHost::fiveHourWindow, fiveHourUsed, at("2026-06-01T10:00:00Z") },
        UsageWindow { TavvoHost::weeklyWindow, 41.2, std::nullopt },
        {},
    };
}

TEST(ClaudeFeed, ReadsBackExactlyWhatItWrote)
{
    std::vector<ClaudeObservation> const observations {
        observation(at("2026-06-01T07:31:45Z")),
        observation(at("2026-06-01T07:31:45Z"), 0.1 + 0.2), // a share with no short decimal form
        { at("2026-06-01T07:31:45Z"), std::nullopt, UsageWindow { TavvoHost::weeklyWindow, -5, at("9999-12-31T23:59:59Z") }, {} },
        { at("2026-06-01T07:31:45Z"), std::nullopt, std::nullopt, {} },
    };
    for (auto const& item : observations)
        EXPECT_EQ(TavvoHost::decodeClaudeFeed(TavvoHost::encodeClaudeFeed(item)), item) << TavvoHost::encodeClaudeFeed(item);

    for (auto const* text : { "", "not JSON", "{}", R"({"observedAt":1790000000})", R"({"observedAt":"2026-06-01"})" })
        EXPECT_EQ(TavvoHost::decodeClaudeFeed(text), std::nullopt) << text;
}

// Each write renames a new file into place, so an unchanged inode means the
// feed was left alone.
ino_t inodeOf(const std::filesystem::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_ino;
}

TEST(ClaudeFeed, WritesOnlyWhenSomethingChangedOrAMinuteHasPassed)
{
    TemporaryDirectory folder;
    auto const file = folder.path() / "state" / "tavvo" / "claude-statusline.json";
    auto const start = at("2026-06-01T07:00:00Z");

    EXPECT_EQ(TavvoHost::recordClaudeFeed(file, observation(start)), ClaudeFeedWrite::written);

    struct Step {
        std::string name;
        ClaudeObservation observation;
        ClaudeFeedWrite expected;
    };
    // Each step compares with what the feed holds after the steps before.
    std::vector<Step> const steps {
        { "the same values a second later", observation(start + std::chrono::seconds(1)), ClaudeFeedWrite::unchanged },
        { "59 seconds later", observation(start + std::chrono::seconds(59)), ClaudeFeedWrite::unchanged },
        { "a minute later", observation(start + std::chrono::seconds(60)), ClaudeFeedWrite::written },
        { "a changed share at once", observation(start + std::chrono::seconds(61), 24), ClaudeFeedWrite::written },
        { "the clock went back", observation(start, 24), ClaudeFeedWrite::written },
        { "a window disappeared", { start, observation(start, 24).fiveHour, std::nullopt, {} }, ClaudeFeedWrite::written },
    };
    for (auto const& step : steps) {
        auto const before = inodeOf(file);
        EXPECT_EQ(TavvoHost::recordClaudeFeed(file, step.observation), step.expected) << step.name;
        if (step.expected == ClaudeFeedWrite::written)
            EXPECT_EQ(TavvoHost::readClaudeFeed(file).observation, step.observation) << step.name;
        else
            EXPECT_EQ(inodeOf(file), before) << step.name;
    }
    // Private still after the rewrites (its folder is checked end to end).
    EXPECT_EQ(modeOf(file), 0600u);

    // A corrupt feed is replaced whatever it held.
    std::ofstream(file) << "{\"observedAt\":";
    EXPECT_EQ(TavvoHost::recordClaudeFeed(file, observation(start)), ClaudeFeedWrite::written);
    EXPECT_EQ(TavvoHost::readClaudeFeed(file).observation, observation(start));
}

}
