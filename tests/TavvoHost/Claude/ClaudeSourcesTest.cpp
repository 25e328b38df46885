#include "TavvoHost/Claude/ClaudeSources.hpp"

#include "Snapshot/TestDates.hpp"
#include "TavvoHost/Claude/ClaudeFeed.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using TavvoHost::ClaudeLocations;
using TavvoHost::ClaudeObservation;
using TavvoHost::SourceState;

TEST(ClaudeSources, FindsTheFilesFromTheEnvironment)
{
    ScopedEnvironment environment { { "HOME", "/home/u" }, { "XDG_STATE_HOME", "/state" }, { "CLAUDE_CONFIG_DIR", std::nullopt } };
    fs::path const feed = "/state/tavvo/claude-statusline.json";
    // Without a configured folder, the settings file sits beside ~/.claude, not in it.
    EXPECT_EQ(TavvoHost::claudeLocations(), (ClaudeLocations { "/home/u/.claude", "/home/u/.claude.json", feed }));
    ScopedEnvironment configured { { "CLAUDE_CONFIG_DIR", "/etc/claude" } };
    EXPECT_EQ(TavvoHost::claudeLocations(), (ClaudeLocations { "/etc/claude", "/etc/claude/.claude.json", feed }));
    EXPECT_EQ(TavvoHost::claudeLocations("/opt/claude"), (ClaudeLocations { "/opt/claude", "/opt/claude/.claude.json", feed }));
    {
        ScopedEnvironment relative { { "XDG_STATE_HOME", "state" } };
        EXPECT_EQ(TavvoHost::claudeLocations().feedFile, fs::path("/home/u/.local/state/tavvo/claude-statusline.json"));
        ScopedEnvironment homeless { { "HOME", std::nullopt } };
        EXPECT_EQ(TavvoHost::claudeLocations().feedFile, std::nullopt);
    }
    EXPECT_EQ(TavvoHost::claudeWatchedFiles(TavvoHost::claudeLocations()),
        (std::vector<std::pair<fs::path, std::string>> { { "/state/tavvo", "claude-statusline.json" }, { "/etc/claude", ".claude.json" } }));
}

// The feed and the cached usage at different times, each with its own
// share, so the one taken shows.
TEST(ClaudeSources, ReadsTheNewerSourceAndReportsWhatItCannotRead)
{
    enum class Feed { none, earlier, later, corrupt, unreadable };
    struct Case {
        std::string name;
        bool installed;
        Feed feed;
        std::optional<Foundation::Date> cachedAt;
        SourceState state;
        std::optional<double> used; // the observation's five-hour share
        std::size_t problems;
    };
    auto const earlier = at("2026-06-01T07:00:00Z");
    auto const later = at("2026-06-01T08:00:00Z");
    std::vector<Case> const cases {
        { "not installed", false, Feed::none, std::nullopt, SourceState::missing, std::nullopt, 0 },
        { "a feed alone means the status line is connected", false, Feed::earlier, std::nullopt, SourceState::present, 10, 0 },
        { "installed, nothing fed yet", true, Feed::none, std::nullopt, SourceState::present, std::nullopt, 0 },
        { "the feed newer", true, Feed::later, earlier, SourceState::present, 10, 0 },
        { "the cached usage newer", true, Feed::earlier, later, SourceState::present, 20, 0 },
        { "both at once: the feed", true, Feed::later, later, SourceState::present, 10, 0 },
        { "the cached usage alone", true, Feed::none, earlier, SourceState::present, 20, 0 },
        { "a corrupt feed is a problem, not an unreadable source", true, Feed::corrupt, std::nullopt, SourceState::present, std::nullopt, 1 },
        { "an unreadable feed", true, Feed::unreadable, std::nullopt, SourceState::unreadable, std::nullopt, 1 },
        { "an unreadable feed beside the cached usage", true, Feed::unreadable, earlier, SourceState::present, 20, 1 },
    };
    for (auto const& item : cases) {
        TemporaryDirectory folder;
        ClaudeLocations const locations { folder.path() / "claude", folder.path() / "claude" / ".claude.json", folder.path() / "feed.json" };
        if (item.installed)
            fs::create_directory(*locations.configFolder);
        if (item.feed == Feed::earlier || item.feed == Feed::later)
            TavvoHost::recordClaudeFeed(*locations.feedFile,
                { item.feed == Feed::later ? later : earlier, TavvoHost::UsageWindow { TavvoHost::fiveHourWindow, 10, std::nullopt }, std::nullopt, {} });
        if (item.feed == Feed::corrupt)
            std::ofstream(*locations.feedFile) << "{";
        // Anything but a regular file is unreadable, even to root.
        if (item.feed == Feed::unreadable)
            fs::create_directory(*locations.feedFile);
        if (item.cachedAt)
            std::ofstream(*locations.settingsFile) << R"({"cachedUsageUtilization":{"fetchedAtMs":)"
                                                   << std::chrono::duration_cast<std::chrono::milliseconds>(item.cachedAt->time_since_epoch()).count()
                                                   << R"(,"utilization":{"five_hour":{"utilization":20}}}})";

        std::vector<std::string> problems;
        TavvoHost::ClaudeCachedUsageReader cachedUsage;
        auto const reading = TavvoHost::readClaude(locations, cachedUsage, problems);
        EXPECT_EQ(reading.state, item.state) << item.name;
        EXPECT_EQ(reading.observation ? reading.observation->fiveHour->usedPercent : std::nullopt, item.used) << item.name;
        EXPECT_EQ(problems.size(), item.problems) << item.name;
    }
}

// The numbers the status line fed stay when Claude Code's newer settings
// file holds no window in either shape, and each window comes from the
// newer source that holds it.
TEST(ClaudeSources, ANewerSourceWithoutAWindowKeepsTheFeedsNumbers)
{
    auto const fed = at("2026-09-04T05:00:00Z");
    std::vector<std::pair<std::string, std::string>> const settings {
        { "no key", R"({"numStartups":3})" },
        { "a model's limit only",
            R"({"cachedUsageUtilization":{"fetchedAtMs":1788500671609,"utilization":{"limits":[)"
            R"({"kind":"weekly_scoped","percent":10,"resets_at":null,"scope":{"model":{"display_name":"Opus"}}}]}}})" },
    };
    for (auto const& [name, text] : settings) {
        TemporaryDirectory folder;
        ClaudeLocations const locations { folder.path() / "claude", folder.path() / "claude" / ".claude.json", folder.path() / "feed.json" };
        fs::create_directory(*locations.configFolder);
        TavvoHost::recordClaudeFeed(*locations.feedFile,
            { fed, TavvoHost::UsageWindow { TavvoHost::fiveHourWindow, 16, at("2026-09-04T07:00:00Z") },
                TavvoHost::UsageWindow { TavvoHost::weeklyWindow, 14, at("2026-09-08T00:00:00Z") }, {} });
        std::ofstream(*locations.settingsFile) << text;

        std::vector<std::string> problems;
        TavvoHost::ClaudeCachedUsageReader cachedUsage;
        auto const reading = TavvoHost::readClaude(locations, cachedUsage, problems);
        ASSERT_TRUE(reading.observation) << name;
        EXPECT_EQ(reading.observation->fiveHour->usedPercent, 16) << name;
        EXPECT_EQ(reading.observation->sevenDay->usedPercent, 14) << name;
        EXPECT_EQ(reading.observation->modelWeekly.size(), name == "a model's limit only" ? 1U : 0U) << name;
        EXPECT_TRUE(problems.empty()) << name;
    }
}

}
