// The small layout's compact provider lines: the binding
// limit's percentage, the meter's progress and tint, the detail line, the
// one accessibility label, and the layout of the three lines.
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderCompactLine.hpp"
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

// 42 % resetting in two hours (11:26 UTC), 80 % with no reset time.
TavvoWidgetLimitSnapshot const fiveHours = limit("five", 42, now + 2h, "5h");
TavvoWidgetLimitSnapshot const weekly = limit("week", 80, std::nullopt, "Weekly");

UI::Color severityColor(std::optional<std::int64_t> remaining)
{
    return color(NovikSeverities::forRemaining(remaining));
}

// A line is laid out this wide unless a test says otherwise.
constexpr double lineWidth = 138;

}

TEST(ProviderCompactLine, PercentageMeterAndDetail)
{
    ScopedLanguage language("en");
    ScopedKeysMode keys;
    struct Case {
        const char* name;
        TavvoWidgetProviderSnapshot provider;
        bool stale;
        bool valuesShown;
        std::string percentage;
        double progress;
        UI::Color tint;
        std::string detail;
    };
    Case const cases[] = {
        { "fresh, binding limit with a reset", provider(ID::codex, { fiveHours, weekly }), false, true, "limit.percent_remaining[42]", 0.42,
            NovikPalette::watch(), "5h · widget.reset 11:26" },
        { "the least remaining binds, wherever it is", provider(ID::claude, { weekly, fiveHours }), false, true,
            "limit.percent_remaining[42]", 0.42, NovikPalette::watch(), "5h · widget.reset 11:26" },
        { "fresh, binding limit without a reset", provider(ID::codex, { limit("five", 42, std::nullopt, "5h"), weekly }), false, true,
            "limit.percent_remaining[42]", 0.42, NovikPalette::watch(), "5h" },
        { "fresh, plenty left", provider(ID::codex, { weekly }), false, true, "limit.percent_remaining[80]", 0.8, NovikPalette::ok(), "Weekly" },
        { "fresh, nearly out", provider(ID::codex, { limit("five", 7, now + 2h, "5h") }), false, true, "limit.percent_remaining[7]", 0.07,
            NovikPalette::critical(), "5h · widget.reset 11:26" },
        { "fresh, out of range as it stands", provider(ID::codex, { limit("five", 150, std::nullopt, "5h") }), false, true,
            "limit.percent_remaining[150]", 1.5, NovikPalette::ok(), "5h" },
        { "stale codex", staled(provider(ID::codex, { fiveHours, weekly })), true, false, "—", 0, UI::Color::secondary(),
            "widget.status.stale" },
        { "stale claude never observed", unobserved(staled(provider(ID::claude, { fiveHours }))), true, false, "—", 0,
            UI::Color::secondary(), "widget.status.stale" },
        { "stale claude with no known percentage", staled(provider(ID::claude, { limit("five", std::nullopt, now + 2h, "5h") })), true,
            false, "—", 0, UI::Color::secondary(), "widget.status.stale" },
        { "stale claude with last-known values", staled(provider(ID::claude, { fiveHours, weekly })), true, true,
            "limit.percent_remaining[42]", 0.42, UI::Color::secondary(), "limits.last_known_at[07:26]" },
        { "stale claude in error with last-known values", staled(withNote(provider(ID::claude, { fiveHours }, Status::error), "HTTP 503")),
            true, true, "limit.percent_remaining[42]", 0.42, UI::Color::secondary(), "limits.last_known_at[07:26]" },
        // Fresh: the status is not consulted while a limit binds.
        { "fresh unavailable with a limit", provider(ID::codex, { fiveHours }, Status::unavailable), false, true,
            "limit.percent_remaining[42]", 0.42, NovikPalette::watch(), "5h · widget.reset 11:26" },
        { "fresh without limits", provider(ID::codex, {}), false, true, "—", 0, severityColor(std::nullopt), "widget.status.no_rows" },
        { "fresh unavailable with a note", withNote(provider(ID::claude, {}, Status::unavailable), "Sign in again"), false, true, "—", 0,
            severityColor(std::nullopt), "Sign in again" },
        { "fresh unavailable with an empty note", withNote(provider(ID::claude, {}, Status::unavailable), ""), false, true, "—", 0,
            severityColor(std::nullopt), "" },
        { "fresh unavailable", provider(ID::claude, {}, Status::unavailable), false, true, "—", 0, severityColor(std::nullopt),
            "widget.status.not_connected" },
        { "fresh noData", provider(ID::codex, {}, Status::noData), false, true, "—", 0, severityColor(std::nullopt), "widget.status.no_data" },
        { "fresh error", provider(ID::codex, {}, Status::error), false, true, "—", 0, severityColor(std::nullopt), "widget.status.error" },
        { "fresh error with a note", withNote(provider(ID::codex, {}, Status::error), "HTTP 503"), false, true, "—", 0,
            severityColor(std::nullopt), "HTTP 503" },
        { "stale without limits", staled(withNote(provider(ID::codex, {}, Status::error), "HTTP 503")), true, false, "—", 0,
            UI::Color::secondary(), "widget.status.stale" },
        { "binding limit without a percentage", provider(ID::codex, { limit("five", std::nullopt, now + 2h, "5h") }), false, true, "—", 0,
            severityColor(std::nullopt), "5h · widget.reset 11:26" },
        { "binding limit without a percentage or reset", provider(ID::claude, { limit("week", std::nullopt, std::nullopt, "Weekly") }), false,
            true, "—", 0, severityColor(std::nullopt), "Weekly" },
    };
    for (auto const& test : cases) {
        SCOPED_TRACE(test.name);
        ProviderCompactLine const line(test.provider, test.stale);
        EXPECT_EQ(line.stale(), test.stale);
        EXPECT_EQ(line.provider(), test.provider);
        EXPECT_EQ(line.valuesShown(), test.valuesShown);
        EXPECT_EQ(line.percentageText(), test.percentage);
        auto const meter = line.meter();
        EXPECT_DOUBLE_EQ(meter.progress(), test.progress);
        EXPECT_EQ(meter.tint(), test.tint);
        EXPECT_DOUBLE_EQ(meter.height(), 5);
        EXPECT_EQ(line.detailLine(), test.detail);

        auto const laidOut = dumped(line.body(), 400, 60);
        auto const& look = appearance(test.provider.id);
        EXPECT_EQ(strings(laidOut.root), (std::vector<std::string> { look.shortTitle, test.percentage, test.detail }));
        EXPECT_EQ(laidOut.accessibility,
            "%1$s. %2$s. %3$s[" + look.displayTitle + "|" + test.percentage + "|" + test.detail + "]\n");
        // The meter as drawn: its fill in the tint, as long as the
        // progress (at least a circle, at most the bar).
        auto const capsules = filledCapsules(laidOut.root);
        ASSERT_EQ(capsules.size(), 2u);
        EXPECT_EQ(capsules[1].second, UI::Paint(test.tint));
        EXPECT_NEAR(capsules[1].first.size.width, meter.fillWidth(400), 0.001);
    }
}

TEST(ProviderCompactLine, AccessibilityReadsOneLabel)
{
    ScopedLanguage language("en");
    struct Case {
        TavvoWidgetProviderSnapshot provider;
        bool stale;
        std::string label;
    };
    Case const cases[] = {
        { provider(ID::codex, { fiveHours, weekly }), false, "Codex. 42% left. 5h · Resets 11:26" },
        // The long name, not the short one.
        { provider(ID::claude, { fiveHours }), false, "Claude Code. 42% left. 5h · Resets 11:26" },
        { staled(provider(ID::claude, { fiveHours })), true, "Claude Code. 42% left. Last known at 07:26" },
        { staled(provider(ID::codex, { fiveHours })), true, "Codex. —. Data is out of date" },
        { provider(ID::codex, {}), false, "Codex. —. No limits reported" },
        { withNote(provider(ID::claude, {}, Status::unavailable), "Sign in again"), false, "Claude Code. —. Sign in again" },
        { provider(ID::codex, { limit("week", std::nullopt, std::nullopt, "Weekly") }), false, "Codex. —. Weekly" },
    };
    for (auto const& test : cases) {
        ProviderCompactLine const line(test.provider, test.stale);
        EXPECT_EQ(line.accessibilityLabel(), test.label);
        auto const laidOut = dumped(line.body(), lineWidth, 60);
        // One element: the children are not read on their own.
        EXPECT_EQ(laidOut.accessibility, test.label + "\n");
        EXPECT_EQ(laidOut.root.accessibility.children, UI::AccessibilityChildBehavior::ignore);
        EXPECT_EQ(laidOut.root.accessibility.label, test.label);
    }
}

TEST(ProviderCompactLine, AccessibilityFollowsTheLanguage)
{
    ScopedLanguage language("ru");
    ProviderCompactLine const line(provider(ID::codex, { fiveHours }), false);
    EXPECT_EQ(line.accessibilityLabel(), "Codex. Осталось 42%. 5h · Сброс в 11:26");
    ScopedLanguage::speak("zh-Hans");
    EXPECT_EQ(line.accessibilityLabel(), "Codex. 剩余 42%. 5h · 重置于 11:26");
}
