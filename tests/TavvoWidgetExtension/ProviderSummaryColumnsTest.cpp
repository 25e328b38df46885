// The wider layouts' provider columns: which providers get a
// column, what each column shows below its title, the limit rows with
// their texts, meters and accessibility labels, and the two provider
// messages the compact lines share.
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitBarRow.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderStatusMessages.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumn.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumns.hpp"
#include "Platform/UI/UITestSupport.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace WidgetTest;

namespace {

using ID = TavvoWidgetProviderID;
using Status = TavvoWidgetProviderStatus;
using Kind = UI::LaidOutNode::Kind;

std::vector<std::string> concatenated(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The limits most cases use: 42 % resetting in two hours, 80 % with no
// reset time, 10 % resetting in thirty hours.
TavvoWidgetLimitSnapshot const fiveHours = limit("five", 42, now + 2h, "5h");
TavvoWidgetLimitSnapshot const weekly = limit("week", 80, std::nullopt, "Weekly");
TavvoWidgetLimitSnapshot const monthly = limit("month", 10, now + 30h, "Monthly");
std::vector<TavvoWidgetLimitSnapshot> const threeLimits { fiveHours, weekly, monthly };

// The texts of those rows in keys mode (times in UTC: `now` is 09:26).
std::vector<std::string> const fiveHoursTexts { "5h", "limit.percent_remaining[42]", "widget.reset", "11:26" };
std::vector<std::string> const weeklyTexts { "Weekly", "limit.percent_remaining[80]" };
std::vector<std::string> const monthlyTexts { "Monthly", "limit.percent_remaining[10]", "widget.reset", "15:26" };

// A column is laid out this wide unless a test says otherwise.
constexpr double columnWidth = 150;

}

// statusMessage and lastKnownMessage

TEST(ProviderStatusMessages, FirstMatchingRowWins)
{
    ScopedLanguage language("en");
    ScopedKeysMode keys;
    struct Case {
        Status status;
        std::optional<std::string> note;
        bool stale;
        std::string expected;
    };
    Case const cases[] = {
        // Stale wins over every status and note.
        { Status::available, std::nullopt, true, "widget.status.stale" },
        { Status::unavailable, "Sign in again", true, "widget.status.stale" },
        { Status::noData, "Nothing yet", true, "widget.status.stale" },
        { Status::error, "Boom", true, "widget.status.stale" },
        // Available never shows its note.
        { Status::available, std::nullopt, false, "widget.status.no_rows" },
        { Status::available, "Ignored", false, "widget.status.no_rows" },
        // The others show a note verbatim, an empty one too.
        { Status::unavailable, std::nullopt, false, "widget.status.not_connected" },
        { Status::unavailable, "Sign in again", false, "Sign in again" },
        { Status::unavailable, "", false, "" },
        { Status::noData, std::nullopt, false, "widget.status.no_data" },
        { Status::noData, "Waiting for the first check", false, "Waiting for the first check" },
        { Status::noData, "", false, "" },
        { Status::error, std::nullopt, false, "widget.status.error" },
        { Status::error, "HTTP 503", false, "HTTP 503" },
        { Status::error, "", false, "" },
        // A note that looks like a key is not looked up.
        { Status::error, "widget.status.stale", false, "widget.status.stale" },
    };
    for (auto const& test : cases) {
        for (auto const id : { ID::codex, ID::claude }) {
            auto const subject = withNote(provider(id, { fiveHours }, test.status), test.note);
            EXPECT_EQ(statusMessage(subject, test.stale), test.expected)
                << rawValue(test.status) << " note " << test.note.value_or("(none)") << " stale " << test.stale;
        }
    }
}

TEST(ProviderStatusMessages, NotesAreVerbatimAndFallbacksTranslated)
{
    ScopedLanguage language("ru");
    auto const subject = withNote(provider(ID::codex, {}, Status::error), "Ошибка 42 %s");
    EXPECT_EQ(statusMessage(subject, false), "Ошибка 42 %s");
    EXPECT_EQ(statusMessage(withNote(subject, std::nullopt), false), "Ошибка загрузки");
    EXPECT_EQ(statusMessage(subject, true), "Данные устарели");
}

TEST(ProviderStatusMessages, LastKnownNamesTheObservationTime)
{
    ScopedLanguage language("en");
    {
        ScopedKeysMode keys;
        // Observed a minute before 09:26:53.
        EXPECT_EQ(lastKnownMessage(provider(ID::claude, { fiveHours })), "limits.last_known_at[09:25]");
        EXPECT_EQ(lastKnownMessage(staled(provider(ID::claude, { fiveHours }))), "limits.last_known_at[07:26]");
        // Never observed: the stale text.
        EXPECT_EQ(lastKnownMessage(unobserved(provider(ID::claude, { fiveHours }))), "widget.status.stale");
        // The status is not consulted.
        EXPECT_EQ(lastKnownMessage(provider(ID::codex, {}, Status::error)), "limits.last_known_at[09:25]");
    }
    EXPECT_EQ(lastKnownMessage(provider(ID::claude, { fiveHours })), "Last known at 09:25");
    EXPECT_EQ(lastKnownMessage(unobserved(provider(ID::claude, { fiveHours }))), "Data is out of date");
}

TEST(ProviderStatusMessages, TimesAreShownInTheZoneInForce)
{
    ScopedLanguage language("en", "Asia/Tokyo");
    ScopedKeysMode keys;
    EXPECT_EQ(lastKnownMessage(provider(ID::claude, { fiveHours })), "limits.last_known_at[18:25]");
}

// LimitBarRow

TEST(LimitBarRow, AccessibilityLabelJoinsThePartsThatArePresent)
{
    ScopedLanguage language("en");
    struct Case {
        TavvoWidgetLimitSnapshot limit;
        std::string keys;
        std::string english;
    };
    Case const cases[] = {
        { limit("five", 42, now + 2h, "5h"), "5h. limit.percent_remaining[42]. widget.reset 11:26", "5h. 42% left. Resets 11:26" },
        { limit("week", 80, std::nullopt, "Weekly"), "Weekly. limit.percent_remaining[80]", "Weekly. 80% left" },
        { limit("week", std::nullopt, now + 2h, "Weekly"), "Weekly. widget.reset 11:26", "Weekly. Resets 11:26" },
        { limit("week", std::nullopt, std::nullopt, "Weekly"), "Weekly", "Weekly" },
        { limit("zero", 0, std::nullopt, "Zero"), "Zero. limit.percent_remaining[0]", "Zero. 0% left" },
        // Out-of-range shares read as they stand.
        { limit("odd", -5, std::nullopt, "Odd"), "Odd. limit.percent_remaining[-5]", "Odd. -5% left" },
    };
    for (auto const& test : cases) {
        LimitBarRow const row(test.limit);
        {
            ScopedKeysMode keys;
            EXPECT_EQ(row.accessibilityLabel(), test.keys);
            // The row is one element reading that label; nothing inside it
            // is read on its own.
            auto const laidOut = dumped(row.body(), 140);
            EXPECT_EQ(laidOut.accessibility, test.keys + "\n");
        }
        EXPECT_EQ(row.accessibilityLabel(), test.english);
        EXPECT_EQ(dumped(row.body(), 140).accessibility, test.english + "\n");
    }
}

TEST(LimitBarRow, MeterFillsWithTheShareAndTheSeverityColor)
{
    ScopedLanguage language("en");
    struct Case {
        std::optional<std::int64_t> remaining;
        double fillWidth;
        UI::Color tint;
    };
    Case const cases[] = {
        { 42, 42, NovikPalette::watch() },
        { 100, 100, NovikPalette::ok() },
        { 64, 64, NovikPalette::ok() },
        { 20, 20, NovikPalette::tight() },
        { 5, 5, NovikPalette::critical() },
        { 0, 0, NovikPalette::critical() },
        // Clamped for the fill, judged as it stands for the color.
        { 150, 100, NovikPalette::ok() },
        // Nothing known: an empty track tinted secondary.
        { std::nullopt, 0, UI::Color::secondary() },
    };
    for (auto const& test : cases) {
        auto const laidOut = dumped(LimitBarRow(limit("five", test.remaining)).body(), 100);
        auto const capsules = filledCapsules(laidOut.root);
        ASSERT_EQ(capsules.size(), 2u);
        EXPECT_EQ(capsules[0].second, UI::Paint(NovikPalette::track()));
        EXPECT_NEAR(capsules[1].first.size.width, test.fillWidth, 0.001) << test.remaining.value_or(-1);
        EXPECT_EQ(capsules[1].second, UI::Paint(test.tint)) << test.remaining.value_or(-1);
    }
}

TEST(ProviderSummaryColumn, WhatIsShownBelowTheTitle)
{
    ScopedLanguage language("en");
    ScopedKeysMode keys;
    struct Case {
        const char* name;
        TavvoWidgetProviderSnapshot provider;
        bool stale;
        std::int64_t maxLimits;
        bool showsLimits;
        // Below the header and title.
        std::vector<std::string> texts;
        std::size_t rows;
    };
    auto const stalePair = [](std::vector<std::string> rows) { return concatenated(std::move(rows), { "limits.last_known_at[07:26]" }); };
    Case const cases[] = {
        { "fresh codex, first two in snapshot order", provider(ID::codex, threeLimits), false, 2, true,
            concatenated(fiveHoursTexts, weeklyTexts), 2 },
        { "fresh claude, first two in snapshot order", provider(ID::claude, { monthly, fiveHours, weekly }), false, 2, true,
            concatenated(monthlyTexts, fiveHoursTexts), 2 },
        { "fewer limits than allowed", provider(ID::codex, { weekly }), false, 3, true, weeklyTexts, 1 },
        { "all three", provider(ID::codex, threeLimits), false, 3, true,
            concatenated(concatenated(fiveHoursTexts, weeklyTexts), monthlyTexts), 3 },
        { "maxLimits 0, fresh", provider(ID::codex, threeLimits), false, 0, true, {}, 0 },
        { "stale codex", staled(provider(ID::codex, threeLimits)), true, 2, false, { "widget.status.stale" }, 0 },
        // The flag decides, not the record's own dates.
        { "fresh codex called stale", provider(ID::codex, threeLimits), true, 2, false, { "widget.status.stale" }, 0 },
        { "stale claude with last-known values", staled(provider(ID::claude, threeLimits)), true, 2, true,
            stalePair(concatenated(fiveHoursTexts, weeklyTexts)), 2 },
        { "stale claude with last-known values, maxLimits 0", staled(provider(ID::claude, threeLimits)), true, 0, true,
            stalePair({}), 0 },
        { "stale claude in error with last-known values", staled(withNote(provider(ID::claude, threeLimits, Status::error), "HTTP 503")), true,
            1, true, stalePair(fiveHoursTexts), 1 },
        { "fresh claude in error with known values", provider(ID::claude, { weekly }, Status::error), false, 2, true, weeklyTexts, 1 },
        { "stale claude, one limit known", staled(provider(ID::claude, { limit("five", std::nullopt, std::nullopt, "5h"), weekly })), true, 2,
            true, stalePair(concatenated({ "5h", "—" }, weeklyTexts)), 2 },
        { "stale claude never observed", unobserved(staled(provider(ID::claude, threeLimits))), true, 2, false,
            { "widget.status.stale" }, 0 },
        { "stale claude with no known percentage", staled(provider(ID::claude, { limit("five", std::nullopt, now + 2h, "5h") })), true, 2,
            false, { "widget.status.stale" }, 0 },
        { "fresh available without limits", provider(ID::codex, {}), false, 2, false, { "widget.status.no_rows" }, 0 },
        { "fresh available without limits, with a note", withNote(provider(ID::claude, {}), "Ignored"), false, 2, false,
            { "widget.status.no_rows" }, 0 },
        { "unavailable with limits", provider(ID::codex, threeLimits, Status::unavailable), false, 2, false,
            { "widget.status.not_connected" }, 0 },
        { "unavailable with a note", withNote(provider(ID::codex, {}, Status::unavailable), "Sign in again"), false, 2, false,
            { "Sign in again" }, 0 },
        { "unavailable with an empty note", withNote(provider(ID::codex, {}, Status::unavailable), ""), false, 2, false, { "" }, 0 },
        { "noData", provider(ID::codex, {}, Status::noData), false, 2, false, { "widget.status.no_data" }, 0 },
        { "noData with a note", withNote(provider(ID::codex, {}, Status::noData), "First check soon"), false, 2, false,
            { "First check soon" }, 0 },
        { "error", provider(ID::codex, threeLimits, Status::error), false, 2, false, { "widget.status.error" }, 0 },
        { "error with a note", withNote(provider(ID::codex, {}, Status::error), "HTTP 503"), false, 2, false, { "HTTP 503" }, 0 },
        { "stale error with a note", staled(withNote(provider(ID::codex, {}, Status::error), "HTTP 503")), true, 2, false,
            { "widget.status.stale" }, 0 },
    };
    for (auto const& test : cases) {
        SCOPED_TRACE(test.name);
        ProviderSummaryColumn const column(test.provider, test.stale, test.maxLimits);
        EXPECT_EQ(column.showsLimits(), test.showsLimits);

        auto const laidOut = dumped(column.body(), columnWidth, 200);
        auto const& look = appearance(test.provider.id);
        EXPECT_EQ(strings(laidOut.root), concatenated({ look.displayTitle, test.provider.title }, test.texts));

        // Rows are the nodes that read as one label; when stale they are
        // drawn at 0.6, the last-known note at full opacity.
        std::size_t rows = 0;
        for (auto const* node : nodesOfKind(laidOut.root, Kind::vstack))
            if (node->accessibility.children == UI::AccessibilityChildBehavior::ignore)
                ++rows;
        EXPECT_EQ(rows, test.rows);
        for (auto const& shown : shownTexts(laidOut.root)) {
            auto const inRow = shown.text.string != look.displayTitle && shown.text.string != test.provider.title
                && shown.text.string.rfind("limits.last_known_at", 0) != 0 && test.showsLimits;
            EXPECT_DOUBLE_EQ(shown.opacity, inRow && test.stale ? 0.6 : 1.0) << shown.text.string;
        }
        EXPECT_EQ(occurrences(laidOut.tree, "\"opacity\": 0.6"), test.stale ? test.rows : 0);
    }
}

TEST(ProviderSummaryColumns, OnlyTheFirstTwoProvidersGetAColumn)
{
    ScopedLanguage language("en");
    ScopedKeysMode keys;
    auto const codex = provider(ID::codex, { weekly });
    auto const claude = provider(ID::claude, { weekly });
    auto const third = titled(provider(ID::codex, { fiveHours }), "Third plan");
    struct Case {
        std::vector<TavvoWidgetProviderSnapshot> providers;
        std::vector<std::string> texts;
        std::size_t dividers;
    };
    auto const codexTexts = concatenated({ "Codex", "Codex plan" }, weeklyTexts);
    auto const claudeTexts = concatenated({ "Claude Code", "Claude plan" }, weeklyTexts);
    Case const cases[] = {
        { {}, {}, 0 },
        { { codex }, codexTexts, 0 },
        { { claude }, claudeTexts, 0 },
        { { codex, claude }, concatenated(codexTexts, claudeTexts), 1 },
        // Display order is the caller's.
        { { claude, codex }, concatenated(claudeTexts, codexTexts), 1 },
        { { codex, claude, third }, concatenated(codexTexts, claudeTexts), 1 },
        { { third, codex, claude }, concatenated(concatenated({ "Codex", "Third plan" }, fiveHoursTexts), codexTexts), 1 },
    };
    for (auto const& test : cases) {
        SCOPED_TRACE(test.providers.size());
        auto const laidOut = dumped(ProviderSummaryColumns(test.providers, now, 2).body(), 320, 200);
        EXPECT_EQ(strings(laidOut.root), test.texts);
        EXPECT_EQ(nodesOfKind(laidOut.root, Kind::divider).size(), test.dividers);
        if (test.providers.empty()) {
            EXPECT_EQ(laidOut.root.frame.size, (UI::Size { 0, 0 }));
            EXPECT_TRUE(laidOut.text.empty());
            EXPECT_TRUE(laidOut.accessibility.empty());
        }
    }
}

TEST(ProviderSummaryColumns, EachColumnJudgesFreshnessAtNow)
{
    ScopedLanguage language("en");
    ScopedKeysMode keys;
    // Observed two hours before `now`, fresh until an hour before it.
    auto const codex = staled(provider(ID::codex, { weekly }));
    auto const claude = staled(provider(ID::claude, { weekly }));
    auto const freshClaude = provider(ID::claude, { fiveHours });
    struct Case {
        std::vector<TavvoWidgetProviderSnapshot> providers;
        Foundation::Date at;
        std::vector<std::string> texts;
        std::size_t dimmed;
    };
    Case const cases[] = {
        { { codex, claude }, now,
            concatenated(concatenated({ "Codex", "Codex plan", "widget.status.stale", "Claude Code", "Claude plan" }, weeklyTexts),
                { "limits.last_known_at[07:26]" }),
            1 },
        { { codex, claude }, now - 90min,
            concatenated(concatenated(concatenated({ "Codex", "Codex plan" }, weeklyTexts), { "Claude Code", "Claude plan" }), weeklyTexts), 0 },
        { { codex, freshClaude }, now,
            concatenated({ "Codex", "Codex plan", "widget.status.stale", "Claude Code", "Claude plan" }, fiveHoursTexts), 0 },
        // Before the observation nothing is fresh.
        { { freshClaude }, now - 2min, concatenated({ "Claude Code", "Claude plan" }, concatenated(fiveHoursTexts, { "limits.last_known_at[09:25]" })),
            1 },
        // freshUntil itself is no longer fresh.
        { { provider(ID::codex, { weekly }) }, now + 10min, { "Codex", "Codex plan", "widget.status.stale" }, 0 },
    };
    for (auto const& test : cases) {
        auto const laidOut = dumped(ProviderSummaryColumns(test.providers, test.at, 2).body(), 320, 200);
        EXPECT_EQ(strings(laidOut.root), test.texts);
        EXPECT_EQ(occurrences(laidOut.tree, "\"opacity\": 0.6"), test.dimmed);
    }
}

TEST(ProviderSummaryColumns, MaxLimitsAppliesToEveryColumn)
{
    ScopedLanguage language("en");
    ScopedKeysMode keys;
    ProviderSummaryColumns const columns({ provider(ID::codex, threeLimits), staled(provider(ID::claude, threeLimits)) }, now, 1);
    EXPECT_EQ(columns.maxLimits(), 1);
    EXPECT_EQ(columns.now(), now);
    EXPECT_EQ(columns.providers().size(), 2u);
    auto const laidOut = dumped(columns.body(), 320, 200);
    EXPECT_EQ(strings(laidOut.root),
        concatenated(concatenated(concatenated({ "Codex", "Codex plan" }, fiveHoursTexts), { "Claude Code", "Claude plan" }),
            concatenated(fiveHoursTexts, { "limits.last_known_at[07:26]" })));
    EXPECT_EQ(laidOut.accessibility,
        "Codex\nCodex plan\n5h. limit.percent_remaining[42]. widget.reset 11:26\n"
        "Claude Code\nClaude plan\n5h. limit.percent_remaining[42]. widget.reset 11:26\nlimits.last_known_at[07:26]\n");

    auto const none = dumped(ProviderSummaryColumns({ provider(ID::codex, threeLimits), staled(provider(ID::claude, threeLimits)) }, now, 0).body(), 320, 200);
    EXPECT_EQ(strings(none.root), (std::vector<std::string> { "Codex", "Codex plan", "Claude Code", "Claude plan", "limits.last_known_at[07:26]" }));
}
