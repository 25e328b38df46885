#include "TavvoHost/Collector/Collector.hpp"

#include "TavvoHost/Codex/CodexLines.hpp"
#include "TavvoHost/LogFiles/LogFileFixtures.hpp"
#include "Snapshot/TestDates.hpp"
#include "TestSupport/ScopedLanguage.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace TavvoHost;

auto const now = at("2026-06-08T12:00:00Z");
auto const fiveHourReset = at("2026-06-08T14:00:00Z");
auto const weeklyReset = at("2026-06-10T00:00:00Z");

std::int64_t unixOf(Foundation::Date date)
{
    return std::chrono::floor<std::chrono::seconds>(date).time_since_epoch().count();
}

// Another machine whose Codex saw the five-hour window `used` at
// `observedAt`, and its Claude Code five percent less.
MachineObservations remote(std::string_view observedAt, double used, std::int64_t tokens, Foundation::Date weekResets = weeklyReset)
{
    auto const instant = at(observedAt);
    return { instant,
        { SourceState::present,
            { { instant, "codex", std::nullopt, "plus", { { fiveHourWindow, used, fiveHourReset }, { weeklyWindow, 60, weekResets } } } }, tokens,
            std::nullopt },
        { SourceState::present, ClaudeObservation { instant, UsageWindow { fiveHourWindow, used - 5, std::nullopt }, std::nullopt, {} } } };
}

// What the snapshot says of each service: the five-hour window's share
// left and when it was observed, the week's tokens; for Claude, its share.
struct Shown {
    std::int64_t codexLeft;
    Foundation::Date codexObservedAt;
    std::int64_t weeklyTokens;
    std::optional<std::int64_t> claudeLeft;

    friend bool operator==(const Shown&, const Shown&) = default;
};

void PrintTo(const Shown& shown, std::ostream* out)
{
    *out << "codex " << shown.codexLeft << "% at " << shown.codexObservedAt.time_since_epoch().count() << ", tokens " << shown.weeklyTokens
         << ", claude " << (shown.claudeLeft ? std::to_string(*shown.claudeLeft) : "none");
}

Shown shown(const TavvoWidgetSnapshot& snapshot)
{
    auto const& codex = snapshot.providers.at(0);
    auto const& claude = snapshot.providers.at(1);
    return { codex.limits.at(0).remainingPercent.value(), codex.observedAt.value(), snapshot.codexAnalytics.value().weeklyTokens,
        claude.limits.empty() ? std::nullopt : claude.limits.at(0).remainingPercent };
}

TEST(Collector, MergesOtherMachinesWithItsOwnInEveryOrderOfFreshness)
{
    ScopedLanguage english("en");
    TemporaryDirectory folder;
    auto const home = folder.path() / "codex";
    writeFile(home / "sessions/2026/06/08/rollout-1.jsonl",
        tokenCountLine("2026-06-08T10:00:00.000Z", tokenInfo(100, 100), currentLimits(30, unixOf(fiveHourReset), 40, unixOf(weeklyReset))) + "\n");
    Collector collector({ { home }, { folder.path() / "claude", folder.path() / ".claude.json", folder.path() / "feed.json" }, std::chrono::seconds(900),
        std::nullopt });

    auto const older = remote("2026-06-08T09:00:00Z", 50, 20);
    auto const newer = remote("2026-06-08T11:00:00Z", 60, 7);
    auto const newerOfAnotherWeek = remote("2026-06-08T11:00:00Z", 60, 7, at("2026-06-11T00:00:00Z"));
    auto const local = at("2026-06-08T10:00:00Z");
    struct Case {
        std::string name;
        std::vector<MachineObservations> remotes;
        Shown shown;
    };
    std::vector<Case> const cases {
        { "this machine alone", {}, { 70, local, 100, std::nullopt } },
        { "an older machine adds its tokens and its Claude Code", { older }, { 70, local, 120, 55 } },
        { "a newer machine's window wins", { newer }, { 40, at("2026-06-08T11:00:00Z"), 107, 45 } },
        { "older and newer", { older, newer }, { 40, at("2026-06-08T11:00:00Z"), 127, 45 } },
        { "newer and older", { newer, older }, { 40, at("2026-06-08T11:00:00Z"), 127, 45 } },
        { "a newer week counts only its own tokens", { older, newerOfAnotherWeek }, { 40, at("2026-06-08T11:00:00Z"), 7, 45 } },
    };
    for (auto const& [name, remotes, expected] : cases) {
        SCOPED_TRACE(name);
        auto const pass = collector.collect(now, remotes);
        EXPECT_EQ(pass.problems, std::vector<std::string> {});
        EXPECT_EQ(shown(pass.snapshot), expected);
    }

    // What this machine tells others is what it read, before any merge.
    auto const observed = collector.observe(now).observations;
    EXPECT_EQ(observed.sentAt, now);
    EXPECT_EQ(observed.codex.weeklyTokens, 100);
    EXPECT_EQ(observed.claude, ClaudeReading {});
}

}
