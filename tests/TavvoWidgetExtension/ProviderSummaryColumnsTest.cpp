// The wider layouts' provider columns, their limit rows, and the two
// provider messages the compact lines share.
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include "Platform/UI/AccessibilityElement.hpp"
#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitBarRow.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderStatusMessages.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumn.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumns.hpp"
#include "Platform/UI/UITestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace WidgetTest;

namespace {

using Texts = std::vector<std::string>;

Texts cat(std::initializer_list<Texts> parts)
{
    Texts all;
    for (auto const& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// 10 % resetting at 15:26 the next day.
TavvoWidgetLimitSnapshot const monthly = limit("month", 10, now + 30h, "Monthly");
std::vector<TavvoWidgetLimitSnapshot> const threeLimits { fiveHours, weekly, monthly };
Texts const fiveHoursTexts { "5h", "limit.percent_remaining[42]", "widget.reset", "11:26" };
Texts const weeklyTexts { "Weekly", "limit.percent_remaining[80]" };
Texts const monthlyTexts { "Monthly", "limit.percent_remaining[10]", "widget.reset.other_day", "Mar 15, 15:26" };
Texts const lastKnown { "limits.last_known_at[07:26]" };
Texts const staleText { "widget.status.stale" };

using ProviderStatusMessagesTest = KeysInEnglish;
using LimitBarRowTest = KeysInEnglish;
using ProviderSummaryColumnTest = KeysInEnglish;
using ProviderSummaryColumnsTest = KeysInEnglish;

}

TEST_F(ProviderStatusMessagesTest, StaleWinsThenTheNoteVerbatimEvenEmptyElseTheStatusFallback)
{
    std::tuple<Status, std::optional<std::string>, bool, std::string> const cases[] = {
        { Status::error, "Boom", true, "widget.status.stale" },
        // Available never shows its note.
        { Status::available, "Ignored", false, "widget.status.no_rows" },
        { Status::unavailable, std::nullopt, false, "widget.status.not_connected" },
        { Status::unavailable, "Sign in again", false, "Sign in again" },
        { Status::unavailable, "", false, "" },
        { Status::noData, std::nullopt, false, "widget.status.no_data" },
        { Status::noData, "Waiting", false, "Waiting" },
        { Status::error, std::nullopt, false, "widget.status.error" },
    };
    for (auto const& [status, note, stale, expected] : cases)
        EXPECT_EQ(statusMessage(withNote(provider(ID::codex, { fiveHours }, status), note), stale ? Freshness::stale : Freshness::fresh), expected)
            << Foundation::rawValue(status) << " note " << note.value_or("(none)") << " stale " << stale;
    // A note is shown verbatim, never looked up or formatted.
    ScopedLanguage const russian("ru");
    EXPECT_EQ(statusMessage(withNote(provider(ID::codex, {}, Status::error), "widget.status.stale %s"), Freshness::fresh), "widget.status.stale %s");
}

TEST_F(ProviderStatusMessagesTest, LastKnownNamesTheObservationTimeInTheZoneInForce)
{
    // The status is not consulted; never observed reads as stale.
    EXPECT_EQ(lastKnownMessage(provider(ID::codex, {}, Status::error)), "limits.last_known_at[09:25]");
    EXPECT_EQ(lastKnownMessage(unobserved(provider(ID::claude, { fiveHours }))), "widget.status.stale");
    ScopedLanguage const tokyo("en", "Asia/Tokyo");
    ScopedKeysMode const tokyoKeys;
    EXPECT_EQ(lastKnownMessage(provider(ID::claude, { fiveHours })), "limits.last_known_at[18:25]");
}

// One element reading the parts present joined by ". ", and beside it the
// meter as a gauge named after the provider and the limit, valued within
// 0…100; a limit with no share has no gauge, its track drawn empty.
TEST_F(LimitBarRowTest, LabelFollowsThePartsPresentAndTheMeterIsAGauge)
{
    struct Case {
        TavvoWidgetLimitSnapshot limit;
        std::string providerTitle;
        std::string label;
        std::string gauge;
    };
    Case const cases[] = {
        { fiveHours, "Codex plan", "5h. limit.percent_remaining[42]. widget.reset 11:26",
            "[gauge 42/100] Codex plan, 5h: limit.percent_remaining[42]. widget.reset 11:26\n" },
        { limit("week", std::nullopt, now + 2h, "Weekly"), "Codex plan", "Weekly. widget.reset 11:26", "" },
        { limit("week", std::nullopt, std::nullopt, "Weekly"), "Codex plan", "Weekly", "" },
        { limit("week", 150, std::nullopt, "Weekly"), "", "Weekly. limit.percent_remaining[150]",
            "[gauge 100/100] Weekly: limit.percent_remaining[150]\n" },
    };
    for (auto const& test : cases) {
        LimitBarRow const row(test.limit, now, test.providerTitle);
        EXPECT_EQ(row.accessibilityLabel(), test.label);
        auto const laidOut = dumped(row.body(), 100);
        EXPECT_EQ(laidOut.accessibility, test.label + "\n" + test.gauge);
        // Laid over the meter: the whole row's width, the meter's height.
        for (auto const& gauge : UI::accessibilityGauges(laidOut.root))
            EXPECT_EQ(gauge.frame.size, (UI::Size { 100, NovikMetrics::meterCompact }));
    }
}

TEST_F(ProviderSummaryColumnTest, LimitsOrTheStatusBelowTheTitle)
{
    struct Case {
        const char* name;
        TavvoWidgetProviderSnapshot provider;
        bool stale;
        std::int64_t maxLimits;
        bool showsLimits;
        Texts below;
    };
    Case const cases[] = {
        { "first two, as stored", provider(ID::claude, { monthly, fiveHours, weekly }), false, 2, true, cat({ monthlyTexts, fiveHoursTexts }) },
        { "maxLimits 0", provider(ID::codex, threeLimits), false, 0, true, {} },
        // The flag decides, not the record's own dates.
        { "fresh codex called stale", provider(ID::codex, threeLimits), true, 2, false, staleText },
        // claude's last-known values stay, whatever the status says.
        { "stale claude in error", staled(withNote(provider(ID::claude, threeLimits, Status::error), "HTTP 503")), true, 1, true,
            cat({ fiveHoursTexts, lastKnown }) },
        { "fresh claude in error", provider(ID::claude, { weekly }, Status::error), false, 2, true, weeklyTexts },
        { "stale claude, one limit known", staled(provider(ID::claude, { limit("five", std::nullopt), weekly })), true, 2, true,
            cat({ { "five title", "—" }, weeklyTexts, lastKnown }) },
        { "stale claude never observed", unobserved(staled(provider(ID::claude, threeLimits))), true, 2, false, staleText },
        { "available without limits", provider(ID::codex, {}), false, 2, false, { "widget.status.no_rows" } },
        { "unavailable with limits", provider(ID::codex, threeLimits, Status::unavailable), false, 2, false, { "widget.status.not_connected" } },
    };
    for (auto const& test : cases) {
        SCOPED_TRACE(test.name);
        ProviderSummaryColumn const column({ test.provider, test.stale ? Freshness::stale : Freshness::fresh }, test.maxLimits, now);
        EXPECT_EQ(column.provider().showsLimits(), test.showsLimits);
        auto const laidOut = dumped(column.body(), 150, 200);
        auto const& look = appearance(test.provider.id);
        EXPECT_EQ(strings(laidOut.root), cat({ { look.displayTitle, test.provider.title }, test.below }));
        // Stale rows are dimmed; the two titles, the last-known note after
        // the rows and a status are not.
        auto const shown = shownTexts(laidOut.root);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            bool const dimmed = test.stale && test.showsLimits && i >= 2 && i + 1 < shown.size();
            EXPECT_DOUBLE_EQ(shown[i].opacity, dimmed ? 0.6 : 1.0) << shown[i].text.string;
        }
    }
}

// Only the first two providers get a column, with a divider only between
// two; each column keeps its provider's freshness and takes the cap.
TEST_F(ProviderSummaryColumnsTest, FirstTwoProvidersEachWithItsFreshness)
{
    using Shown = TavvoWidgetPresentation::Provider;
    Shown const codex { provider(ID::codex, { weekly }), Freshness::fresh };
    Shown const claude { provider(ID::claude, { weekly }), Freshness::fresh };
    Shown const third { titled(provider(ID::codex, { fiveHours }), "Third plan"), Freshness::fresh };
    Texts const codexTitles { "Codex", "Codex plan" }, claudeTitles { "Claude Code", "Claude plan" };
    std::tuple<std::vector<Shown>, std::int64_t, Texts, std::size_t> const cases[] = {
        { {}, 2, {}, 0 },
        { { claude, codex, third }, 2, cat({ claudeTitles, weeklyTexts, codexTitles, weeklyTexts }), 1 },
        // One provider, no divider.
        { { { codex.record, Freshness::stale } }, 2, cat({ codexTitles, staleText }), 0 },
    };
    for (auto const& [providers, maxLimits, texts, dividers] : cases) {
        auto const laidOut = dumped(ProviderSummaryColumns(providers, maxLimits, now).body(), 320, 200);
        EXPECT_EQ(strings(laidOut.root), texts);
        EXPECT_EQ(nodesOfKind(laidOut.root, UI::LaidOutNode::Kind::divider).size(), dividers) << texts.size();
        EXPECT_EQ(laidOut.accessibility.empty(), providers.empty());
    }
}
