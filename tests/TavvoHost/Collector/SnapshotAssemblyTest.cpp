#include "TavvoHost/Collector/SnapshotAssembly.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

namespace {

using namespace TavvoHost;
using std::chrono::minutes;

constexpr std::chrono::seconds ttl { 900 };

using Limit = TavvoWidgetLimitSnapshot;
using Status = TavvoWidgetProviderStatus;

Foundation::Date const now = at("2026-06-03T12:00:00Z");

// The weekly window first: the snapshot puts the five-hour one first.
std::vector<UsageWindow> const mainWindows { { weeklyWindow, 80, at("2026-06-06T00:00:00Z") }, { fiveHourWindow, 22.5, at("2026-06-03T14:00:00Z") } };

CodexObservation codexObservation(std::string limitId = "codex", std::vector<UsageWindow> windows = mainWindows)
{
    return { at("2026-06-03T11:59:30Z") + std::chrono::milliseconds(750), std::move(limitId), "GPT-5", "plus", std::move(windows) };
}

CodexReading present(std::vector<CodexObservation> observations)
{
    CodexReading codex;
    codex.state = SourceState::present;
    codex.observations = std::move(observations);
    return codex;
}

TEST(SnapshotAssembly, CodexObservationBecomesLimitsAnalyticsAndFreshness)
{
    ScopedLanguage english("en");
    CodexReading codex = present({ codexObservation() });
    codex.weeklyTokens = 123456;
    codex.accountLabel = "user@example.com";
    auto const snapshot = assembleSnapshot(codex, {}, now, ttl);

    EXPECT_EQ(snapshot.schemaVersion, 4);
    ASSERT_EQ(snapshot.providers.size(), 2u);
    EXPECT_EQ(snapshot.providers[0],
        (TavvoWidgetProviderSnapshot { TavvoWidgetProviderID::codex, "Codex Plus", std::nullopt, Status::available,
            { { "codex.five_hour", "5h", 78, at("2026-06-03T14:00:00Z") }, { "codex.weekly", "Week", 20, at("2026-06-06T00:00:00Z") } },
            at("2026-06-03T11:59:30Z"), at("2026-06-03T12:14:30Z"), std::nullopt }));
    // 80% used about four and a half days into the week: it runs out on
    // 4 June at about 15:00 (to the whole second before).
    EXPECT_EQ(snapshot.codexAnalytics,
        (CodexAnalyticsSummary { "user@example.com", "ChatGPT Plus", "GPT-5", TavvoWidgetForecastState::exhaustsBeforeReset,
            at("2026-06-04T14:59:22Z"), at("2026-06-06T00:00:00Z"), 20, at("2026-06-03T11:59:30Z"), 123456, std::nullopt }));
}

TEST(SnapshotAssembly, EachWindowBecomesALimitOfItsOwn)
{
    // In another language than English, so that every title is looked up.
    ScopedLanguage russian("ru");
    CodexObservation reset = codexObservation("codex_mini",
        { { fiveHourWindow, 70, at("2026-05-30T12:00:00Z") }, { weeklyWindow, 30, at("2026-06-05T00:00:00Z") } });
    reset.observedAt = at("2026-05-30T08:00:00Z");
    struct Case {
        std::string name;
        std::vector<CodexObservation> observations;
        std::vector<Limit> limits;
    };
    std::vector<Case> const cases {
        { "shares rounded and held within 0…100, other lengths named by their minutes",
            { codexObservation("codex", { { fiveHourWindow, -5, std::nullopt }, { weeklyWindow, 250, std::nullopt }, { minutes(60), 0.49, std::nullopt },
                  { minutes(1440), std::nullopt, std::nullopt } }) },
            { { "codex.five_hour", "5\u00a0ч", 100, std::nullopt }, { "codex.weekly", "Неделя", 0, std::nullopt },
                { "codex.window_60", "1\u00a0ч", 100, std::nullopt }, { "codex.window_1440", "24\u00a0ч", std::nullopt, std::nullopt } } },
        { "unknown lengths in order, another bucket under its own id",
            { codexObservation("codex", { { std::nullopt, 10, std::nullopt }, { std::nullopt, 20, std::nullopt }, { weeklyWindow, 1, std::nullopt } }),
                codexObservation("gpt-5-codex-mini") },
            { { "codex.weekly", "Неделя", 99, std::nullopt }, { "codex.primary", "Лимит", 90, std::nullopt }, { "codex.secondary", "Лимит", 80, std::nullopt },
                { "codex.gpt-5-codex-mini.five_hour", "5\u00a0ч · GPT-5", 78, at("2026-06-03T14:00:00Z") },
                { "codex.gpt-5-codex-mini.weekly", "Неделя · GPT-5", 20, at("2026-06-06T00:00:00Z") } } },
        // Left out, it cannot mark the main bucket's numbers outdated either.
        { "another bucket's window that had reset when observed", { codexObservation(), reset },
            { { "codex.five_hour", "5\u00a0ч", 78, at("2026-06-03T14:00:00Z") }, { "codex.weekly", "Неделя", 20, at("2026-06-06T00:00:00Z") },
                { "codex.codex_mini.weekly", "Неделя · GPT-5", 70, at("2026-06-05T00:00:00Z") } } },
        // No two limits of a provider share a title: a quota without a name,
        // or of a name taken, goes by its id.
        { "quotas named alike or not at all",
            { codexObservation("codex", { { weeklyWindow, 1, std::nullopt } }), codexObservation("mini", { { weeklyWindow, 2, std::nullopt } }),
                codexObservation("spark", { { weeklyWindow, 3, std::nullopt } }),
                CodexObservation { at("2026-06-03T11:59:30Z"), "max", std::nullopt, std::nullopt, { { weeklyWindow, 4, std::nullopt } } } },
            { { "codex.weekly", "Неделя", 99, std::nullopt }, { "codex.mini.weekly", "Неделя · GPT-5", 98, std::nullopt },
                { "codex.spark.weekly", "Неделя · spark", 97, std::nullopt }, { "codex.max.weekly", "Неделя · max", 96, std::nullopt } } },
    };
    for (auto const& item : cases) {
        auto const provider = assembleSnapshot(present(item.observations), {}, now, ttl).providers[0];
        EXPECT_EQ(provider.limits, item.limits) << item.name;
        EXPECT_EQ(provider.freshUntil, at("2026-06-03T12:14:30Z")) << item.name;
    }
}

TEST(SnapshotAssembly, StatusesAndNotesWithoutObservations)
{
    ScopedLanguage english("en");
    // Stamped with the check, so that the widget shows the status and its
    // note while the check is recent.
    auto const unobserved = [](TavvoWidgetProviderID id, std::string title, Status status, std::optional<std::string> note) {
        return TavvoWidgetProviderSnapshot { id, std::move(title), std::nullopt, status, {}, now, now + minutes(15), std::move(note) };
    };
    struct Case {
        SourceState state;
        Status status;
        std::optional<std::string> codexNote;
        std::optional<std::string> claudeNote;
    };
    std::vector<Case> const cases {
        { SourceState::missing, Status::unavailable, std::nullopt, std::nullopt },
        { SourceState::present, Status::noData, std::nullopt, "Set Claude Code’s status line to tavvo claude-statusline" },
        { SourceState::unreadable, Status::error, "Can’t read the Codex session logs", "Can’t read the status-line feed" },
    };
    for (auto const& item : cases) {
        CodexReading codex;
        codex.state = item.state;
        ClaudeReading claude;
        claude.state = item.state;
        auto const snapshot = assembleSnapshot(codex, claude, now, ttl);
        EXPECT_EQ(snapshot.providers,
            (std::vector { unobserved(TavvoWidgetProviderID::codex, "Codex", item.status, item.codexNote),
                unobserved(TavvoWidgetProviderID::claude, "Claude", item.status, item.claudeNote) }));
        EXPECT_FALSE(snapshot.codexAnalytics);
    }
}

TEST(SnapshotAssembly, ClaudeObservationAndAPassedReset)
{
    ScopedLanguage french("fr");
    ClaudeReading const claude { SourceState::present, ClaudeObservation {
        .observedAt = at("2026-06-03T11:00:00Z"),
        .fiveHour = UsageWindow { fiveHourWindow, 23.5, at("2026-06-03T10:00:00Z") },
        .sevenDay = UsageWindow { weeklyWindow, 41.2, at("2026-06-07T00:00:00Z") },
        .modelWeekly = {},
    } };
    // The five-hour window had already reset when observed: never fresh.
    EXPECT_EQ(assembleSnapshot({}, claude, now, ttl).providers[1],
        (TavvoWidgetProviderSnapshot { TavvoWidgetProviderID::claude, "Claude", std::nullopt, Status::available,
            { { "claude.five_hour", "5\u00a0h", 77, at("2026-06-03T10:00:00Z") }, { "claude.weekly", "Semaine", 59, at("2026-06-07T00:00:00Z") } },
            at("2026-06-03T11:00:00Z"), at("2026-06-03T10:00:00Z"), std::nullopt }));
}

TEST(SnapshotAssembly, AModelsOwnWeeklyLimitIsNamedForIt)
{
    ScopedLanguage spanish("es");
    ClaudeReading const claude { SourceState::present, ClaudeObservation {
        .observedAt = at("2026-06-03T11:00:00Z"),
        .fiveHour = std::nullopt,
        .sevenDay = UsageWindow { weeklyWindow, 64, std::nullopt },
        .modelWeekly = { { "Opus", { weeklyWindow, 10, std::nullopt } }, { "Sonnet 4.5 (new)", { weeklyWindow, 20.4, at("2026-06-07T00:00:00Z") } },
            { "Opus!", { weeklyWindow, 30, std::nullopt } } },
    } };
    EXPECT_EQ(assembleSnapshot({}, claude, now, ttl).providers[1].limits,
        (std::vector<Limit> { { "claude.weekly", "Semana", 36, std::nullopt }, { "claude.opus.weekly", "Semana · Opus", 90, std::nullopt },
            { "claude.sonnet_4_5_new_.weekly", "Semana · Sonnet 4.5 (new)", 80, at("2026-06-07T00:00:00Z") },
            { "claude.opus_.weekly", "Semana · Opus!", 70, std::nullopt } }));
}

// An observation without a limit to show is not "available" with an
// empty list: the provider says it has no data.
TEST(SnapshotAssembly, NoProviderIsAvailableWithoutALimit)
{
    ScopedLanguage english("en");
    CodexObservation lapsed = codexObservation("codex_mini", { { weeklyWindow, 30, at("2026-06-01T00:00:00Z") } });
    ClaudeReading const claude { SourceState::present, ClaudeObservation { at("2026-06-03T11:00:00Z"), std::nullopt, std::nullopt, {} } };
    auto const snapshot = assembleSnapshot(present({ lapsed }), claude, now, ttl);
    for (auto const& provider : snapshot.providers) {
        EXPECT_EQ(provider.status, Status::noData) << provider.title;
        EXPECT_TRUE(provider.limits.empty()) << provider.title;
    }
}

}
