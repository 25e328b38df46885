#include "TavvoHost/Collector/SnapshotAssembly.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

namespace {

using namespace TavvoHost;
using std::chrono::minutes;

Foundation::Date const now = at("2026-06-03T12:00:00Z");

CodexObservation codexObservation()
{
    return {
        .observedAt = at("2026-06-03T11:59:30Z") + std::chrono::milliseconds(750),
        .limitId = "codex",
        .limitName = "GPT-5",
        .planType = "plus",
        // The weekly window first: the snapshot puts the five-hour one first.
        .windows = {
            { weeklyWindow, 80, at("2026-06-06T00:00:00Z") },
            { fiveHourWindow, 22.5, at("2026-06-03T14:00:00Z") },
        },
    };
}

TEST(SnapshotAssembly, CodexObservationBecomesLimitsAnalyticsAndFreshness)
{
    ScopedLanguage english("en");
    CodexReading codex;
    codex.state = SourceState::present;
    codex.observations = { codexObservation() };
    codex.weeklyTokens = 123456;
    codex.accountLabel = "user@example.com";
    auto const snapshot = assembleSnapshot(codex, {}, now, 900);

    EXPECT_EQ(snapshot.schemaVersion, 4);
    ASSERT_EQ(snapshot.providers.size(), 2u);
    auto const& provider = snapshot.providers[0];
    EXPECT_EQ(provider.id, TavvoWidgetProviderID::codex);
    EXPECT_EQ(provider.title, "Codex Plus");
    EXPECT_EQ(provider.status, TavvoWidgetProviderStatus::available);
    EXPECT_EQ(provider.observedAt, at("2026-06-03T11:59:30Z"));
    EXPECT_EQ(provider.freshUntil, at("2026-06-03T12:14:30Z"));
    ASSERT_EQ(provider.limits.size(), 2u);
    EXPECT_EQ(provider.limits[0], (TavvoWidgetLimitSnapshot { "codex.five_hour", "5h", 78, at("2026-06-03T14:00:00Z") }));
    EXPECT_EQ(provider.limits[1], (TavvoWidgetLimitSnapshot { "codex.weekly", "Week", 20, at("2026-06-06T00:00:00Z") }));

    ASSERT_TRUE(snapshot.codexAnalytics);
    auto const& analytics = *snapshot.codexAnalytics;
    EXPECT_EQ(analytics.planTitle, "ChatGPT Plus");
    EXPECT_EQ(analytics.quotaTitle, "GPT-5");
    EXPECT_EQ(analytics.accountLabel, "user@example.com");
    EXPECT_EQ(analytics.remainingPercent, 20);
    EXPECT_EQ(analytics.resetAt, at("2026-06-06T00:00:00Z"));
    EXPECT_EQ(analytics.weeklyTokens, 123456);
    EXPECT_EQ(analytics.forecastObservedAt, at("2026-06-03T11:59:30Z"));
    // 80% used about four and a half days into the week: it runs out on
    // 4 June at about 15:00 (to the whole second before).
    EXPECT_EQ(analytics.forecastState, TavvoWidgetForecastState::exhaustsBeforeReset);
    EXPECT_EQ(analytics.predictedExhaustionAt, at("2026-06-04T14:59:22Z"));
    EXPECT_FALSE(analytics.weeklyCredits);
}

TEST(SnapshotAssembly, PercentagesAreRoundedAndClamped)
{
    ScopedLanguage english("en");
    CodexObservation observation = codexObservation();
    observation.windows = {
        { fiveHourWindow, -5, std::nullopt },
        { weeklyWindow, 250, std::nullopt },
        { minutes(60), 0.49, std::nullopt },
        { minutes(1440), std::nullopt, std::nullopt },
    };
    CodexReading codex;
    codex.state = SourceState::present;
    codex.observations = { observation };
    auto const limits = assembleSnapshot(codex, {}, now, 900).providers[0].limits;
    ASSERT_EQ(limits.size(), 4u);
    EXPECT_EQ(limits[0].remainingPercent, 100);
    EXPECT_EQ(limits[1].remainingPercent, 0);
    EXPECT_EQ(limits[2].remainingPercent, 100);
    EXPECT_EQ(limits[2].id, "codex.window_60");
    EXPECT_EQ(limits[3].remainingPercent, std::nullopt);
    EXPECT_EQ(limits[3].title, "24h");
}

TEST(SnapshotAssembly, OtherBucketsAndUnknownLengthsGetTheirOwnIds)
{
    ScopedLanguage russian("ru");
    CodexObservation other = codexObservation();
    other.limitId = "gpt-5-codex-mini";
    other.planType = std::nullopt;
    CodexObservation unknown = codexObservation();
    unknown.windows = { { std::nullopt, 10, std::nullopt }, { std::nullopt, 20, std::nullopt }, { weeklyWindow, 1, std::nullopt } };
    CodexReading codex;
    codex.state = SourceState::present;
    codex.observations = { unknown, other };
    auto const snapshot = assembleSnapshot(codex, {}, now, 900);
    std::vector<std::string> ids, titles;
    for (auto const& limit : snapshot.providers[0].limits) {
        ids.push_back(limit.id);
        titles.push_back(limit.title);
    }
    EXPECT_EQ(ids, (std::vector<std::string> { "codex.weekly", "codex.primary", "codex.secondary",
                       "codex.gpt-5-codex-mini.five_hour", "codex.gpt-5-codex-mini.weekly" }));
    EXPECT_EQ(titles[0], "Неделя");
    EXPECT_EQ(titles[1], "Лимит");
}

TEST(SnapshotAssembly, AnotherBucketsWindowThatHasResetIsLeftOut)
{
    ScopedLanguage english("en");
    CodexObservation old = codexObservation();
    old.limitId = "codex_mini";
    old.observedAt = at("2026-05-30T08:00:00Z");
    old.windows = { { fiveHourWindow, 70, at("2026-05-30T12:00:00Z") }, { weeklyWindow, 30, at("2026-06-05T00:00:00Z") } };
    CodexReading codex;
    codex.state = SourceState::present;
    codex.observations = { codexObservation(), old };
    auto const provider = assembleSnapshot(codex, {}, now, 900).providers[0];
    ASSERT_EQ(provider.limits.size(), 3u);
    EXPECT_EQ(provider.limits[2].id, "codex.codex_mini.weekly");
    // The main bucket's numbers stay fresh.
    EXPECT_EQ(provider.freshUntil, at("2026-06-03T12:14:30Z"));
}

TEST(SnapshotAssembly, StatusesAndNotesWithoutObservations)
{
    ScopedLanguage english("en");
    struct Case {
        SourceState state;
        TavvoWidgetProviderStatus codexStatus;
        std::optional<std::string> codexNote;
        TavvoWidgetProviderStatus claudeStatus;
        std::optional<std::string> claudeNote;
    };
    std::vector<Case> const cases {
        { SourceState::missing, TavvoWidgetProviderStatus::unavailable, std::nullopt, TavvoWidgetProviderStatus::unavailable, std::nullopt },
        { SourceState::present, TavvoWidgetProviderStatus::noData, std::nullopt, TavvoWidgetProviderStatus::noData,
            "Set Claude Code’s status line to tavvo claude-statusline" },
        { SourceState::unreadable, TavvoWidgetProviderStatus::error, "Can’t read the Codex session logs", TavvoWidgetProviderStatus::error,
            "Can’t read the status-line feed" },
    };
    for (auto const& item : cases) {
        CodexReading codexReading;
        codexReading.state = item.state;
        ClaudeReading claudeReading;
        claudeReading.state = item.state;
        auto const snapshot = assembleSnapshot(codexReading, claudeReading, now, 900);
        auto const& codex = snapshot.providers[0];
        auto const& claude = snapshot.providers[1];
        EXPECT_EQ(codex.title, "Codex");
        EXPECT_EQ(codex.status, item.codexStatus);
        EXPECT_EQ(codex.note, item.codexNote);
        EXPECT_EQ(claude.status, item.claudeStatus);
        EXPECT_EQ(claude.note, item.claudeNote);
        EXPECT_TRUE(codex.limits.empty() && claude.limits.empty());
        // Stamped with the check, so that the widget shows the status and
        // its note while the check is recent.
        for (auto const* provider : { &codex, &claude }) {
            EXPECT_EQ(provider->observedAt, now);
            EXPECT_TRUE(provider->isFresh(now + std::chrono::minutes(14)));
        }
        EXPECT_FALSE(snapshot.codexAnalytics);
    }
}

TEST(SnapshotAssembly, ClaudeObservationAndAPassedReset)
{
    ScopedLanguage french("fr");
    ClaudeReading claude;
    claude.state = SourceState::present;
    claude.observation = ClaudeObservation {
            .observedAt = at("2026-06-03T11:00:00Z"),
            .fiveHour = UsageWindow { fiveHourWindow, 23.5, at("2026-06-03T10:00:00Z") },
            .sevenDay = UsageWindow { weeklyWindow, 41.2, at("2026-06-07T00:00:00Z") },
        };
    auto const provider = assembleSnapshot({}, claude, now, 900).providers[1];
    EXPECT_EQ(provider.status, TavvoWidgetProviderStatus::available);
    EXPECT_EQ(provider.title, "Claude");
    ASSERT_EQ(provider.limits.size(), 2u);
    EXPECT_EQ(provider.limits[0], (TavvoWidgetLimitSnapshot { "claude.five_hour", "5\u00a0h", 77, at("2026-06-03T10:00:00Z") }));
    EXPECT_EQ(provider.limits[1].id, "claude.weekly");
    EXPECT_EQ(provider.limits[1].remainingPercent, 59);
    // The five-hour window had already reset when observed: never fresh.
    EXPECT_EQ(provider.freshUntil, at("2026-06-03T10:00:00Z"));
    EXPECT_FALSE(provider.isFresh(now));
}

}
