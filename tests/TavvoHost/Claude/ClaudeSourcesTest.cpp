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
using TavvoHost::UsageWindow;

TEST(ClaudeSources, FindsTheFoldersFromTheEnvironment)
{
    ScopedEnvironment environment { { "HOME", "/home/u" }, { "XDG_STATE_HOME", "/state" }, { "CLAUDE_CONFIG_DIR", std::nullopt } };
    fs::path const feed = "/state/tavvo/claude-statusline.json";
    EXPECT_EQ(TavvoHost::claudeLocations(), (ClaudeLocations { "/home/u/.claude", "/home/u/.claude.json", feed }));
    EXPECT_EQ(TavvoHost::claudeLocations("/opt/claude"), (ClaudeLocations { "/opt/claude", "/opt/claude/.claude.json", feed }));
    {
        ScopedEnvironment configured { { "CLAUDE_CONFIG_DIR", "/etc/claude" } };
        EXPECT_EQ(TavvoHost::claudeLocations(), (ClaudeLocations { "/etc/claude", "/etc/claude/.claude.json", feed }));
        EXPECT_EQ(TavvoHost::claudeLocations("/opt/claude"), (ClaudeLocations { "/opt/claude", "/opt/claude/.claude.json", feed }));
    }
    {
        ScopedEnvironment homeless { { "HOME", std::nullopt }, { "XDG_STATE_HOME", std::nullopt } };
        EXPECT_EQ(TavvoHost::claudeLocations(), ClaudeLocations {});
    }

    using Watched = std::vector<std::pair<fs::path, std::string>>;
    EXPECT_EQ(TavvoHost::claudeWatchedFiles(TavvoHost::claudeLocations()),
        (Watched { { "/state/tavvo", "claude-statusline.json" }, { "/home/u", ".claude.json" } }));
}

class ClaudeSourcesReading : public ::testing::Test {
protected:
    fs::path configFolder() const { return m_folder.path() / "claude"; }
    ClaudeLocations locations() const
    {
        return { configFolder(), configFolder() / ".claude.json", m_folder.path() / "state" / "claude-statusline.json" };
    }

    void writeFeed(Foundation::Date observedAt, double used) const
    {
        TavvoHost::recordClaudeFeed(*locations().feedFile, { observedAt, window(used), std::nullopt });
    }
    void writeCachedUsage(Foundation::Date fetchedAt, double used) const
    {
        fs::create_directories(configFolder());
        auto const milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(fetchedAt.time_since_epoch()).count();
        std::ofstream(*locations().settingsFile) << R"({"cachedUsageUtilization":{"fetchedAtMs":)" << milliseconds
                                                 << R"(,"utilization":{"five_hour":{"utilization":)" << used << "}}}}";
    }
    static std::optional<UsageWindow> window(double used) { return UsageWindow { TavvoHost::fiveHourWindow, used, std::nullopt }; }

    TavvoHost::ClaudeReading read(std::vector<std::string>& problems) const { return TavvoHost::readClaude(locations(), problems); }

private:
    TemporaryDirectory m_folder;
};

TEST_F(ClaudeSourcesReading, TellsWhetherClaudeCodeIsThere)
{
    std::vector<std::string> problems;
    EXPECT_EQ(read(problems), TavvoHost::ClaudeReading {});

    // A settings file alone, without the folder, is not an installation.
    fs::create_directories(configFolder().parent_path());
    std::ofstream(configFolder().parent_path() / ".claude.json") << "{}";
    EXPECT_EQ(read(problems).state, SourceState::missing);

    fs::create_directories(configFolder());
    EXPECT_EQ(read(problems), (TavvoHost::ClaudeReading { SourceState::present, std::nullopt }));
    EXPECT_TRUE(problems.empty());

    // A feed alone means the status line is connected.
    fs::remove(configFolder());
    writeFeed(at("2026-06-01T07:00:00Z"), 10);
    auto const reading = read(problems);
    EXPECT_EQ(reading.state, SourceState::present);
    EXPECT_EQ(reading.observation, (ClaudeObservation { at("2026-06-01T07:00:00Z"), window(10), std::nullopt }));
}

TEST_F(ClaudeSourcesReading, TakesTheCachedUsageOnlyWhenItIsNewer)
{
    struct Case {
        std::string name;
        std::optional<Foundation::Date> feedAt; // each with its own share, so the winner shows
        std::optional<Foundation::Date> cachedAt;
        std::optional<ClaudeObservation> observation;
    };
    auto const earlier = at("2026-06-01T07:00:00Z");
    auto const later = at("2026-06-01T08:00:00Z");
    std::vector<Case> const cases {
        { "the feed newer", later, earlier, ClaudeObservation { later, window(10), std::nullopt } },
        { "the cached usage newer", earlier, later, ClaudeObservation { later, window(20), std::nullopt } },
        { "both at once: the feed", later, later, ClaudeObservation { later, window(10), std::nullopt } },
        { "the cached usage alone", std::nullopt, earlier, ClaudeObservation { earlier, window(20), std::nullopt } },
        { "the feed alone", earlier, std::nullopt, ClaudeObservation { earlier, window(10), std::nullopt } },
        { "neither", std::nullopt, std::nullopt, std::nullopt },
    };
    for (auto const& item : cases) {
        fs::remove_all(configFolder());
        fs::create_directories(configFolder());
        fs::remove(*locations().feedFile);
        if (item.feedAt)
            writeFeed(*item.feedAt, 10);
        if (item.cachedAt)
            writeCachedUsage(*item.cachedAt, 20);
        std::vector<std::string> problems;
        auto const reading = read(problems);
        EXPECT_EQ(reading.state, SourceState::present) << item.name;
        EXPECT_EQ(reading.observation, item.observation) << item.name;
        EXPECT_TRUE(problems.empty()) << item.name;
    }
}

TEST_F(ClaudeSourcesReading, ReportsFilesItCannotRead)
{
    fs::create_directories(configFolder());
    auto const feed = *locations().feedFile;
    fs::create_directories(feed); // not a regular file: unreadable even to root
    std::vector<std::string> problems;
    auto reading = read(problems);
    EXPECT_EQ(reading.state, SourceState::unreadable);
    EXPECT_EQ(problems, std::vector<std::string> { "cannot read file " + feed.string() + ": Is a directory" });

    // What the cached usage holds is still shown.
    writeCachedUsage(at("2026-06-01T07:00:00Z"), 20);
    problems.clear();
    reading = read(problems);
    EXPECT_EQ(reading.state, SourceState::present);
    EXPECT_EQ(reading.observation, (ClaudeObservation { at("2026-06-01T07:00:00Z"), window(20), std::nullopt }));
    EXPECT_EQ(problems.size(), 1u);

    // A corrupt feed is a problem, not an unreadable source.
    fs::remove_all(feed);
    fs::remove(*locations().settingsFile);
    std::ofstream(feed) << "{";
    problems.clear();
    reading = read(problems);
    EXPECT_EQ(reading, (TavvoHost::ClaudeReading { SourceState::present, std::nullopt }));
    EXPECT_EQ(problems, std::vector<std::string> { "the Claude status-line feed " + feed.string() + " is not valid" });
}

}
