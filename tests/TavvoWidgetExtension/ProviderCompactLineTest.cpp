// The small layout's compact provider lines: the binding limit's
// percentage, the meter, the detail line and the one accessibility label.
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderCompactLine.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace WidgetTest;

using ProviderCompactLineTest = KeysInEnglish;

TEST_F(ProviderCompactLineTest, PercentageMeterAndDetail)
{
    std::string const p42 = "limit.percent_remaining[42]", reset = "5h · widget.reset 11:26", stale = "widget.status.stale";
    auto const watch = NovikPalette::watch(), none = UI::Color::secondary();
    // The gauge: the shown binding limit under the provider's title, or
    // none while the track is drawn empty.
    std::string const codexGauge = "[gauge 42/100] Codex plan, 5h: limit.percent_remaining[42]. widget.reset 11:26\n";
    std::string const claudeGauge = "[gauge 42/100] Claude plan, 5h: limit.percent_remaining[42]. widget.reset 11:26\n";
    struct Case {
        const char* name;
        TavvoWidgetProviderSnapshot provider;
        bool stale;
        std::string percentage;
        double progress;
        UI::Color tint;
        std::string detail;
        std::string gauge;
    };
    Case const cases[] = {
        { "the least remaining binds, wherever it is", provider(ID::claude, { weekly, fiveHours }), false, p42, 0.42, watch, reset, claudeGauge },
        { "no reset time", provider(ID::codex, { limit("five", 42, std::nullopt, "5h"), weekly }), false, p42, 0.42, watch, "5h",
            "[gauge 42/100] Codex plan, 5h: limit.percent_remaining[42]\n" },
        // Fresh: the status is not consulted while a limit binds.
        { "unavailable with a limit", provider(ID::codex, { fiveHours }, Status::unavailable), false, p42, 0.42, watch, reset, codexGauge },
        { "binding limit without a percentage", provider(ID::codex, { limit("five", std::nullopt, now + 2h, "5h") }), false, "—", 0, none, reset, "" },
        { "without limits", provider(ID::codex, {}), false, "—", 0, none, "widget.status.no_rows", "" },
        { "stale codex", staled(provider(ID::codex, { fiveHours, weekly })), true, "—", 0, none, stale, "" },
        { "stale claude never observed", unobserved(staled(provider(ID::claude, { fiveHours }))), true, "—", 0, none, stale, "" },
        { "stale claude in error, last known", staled(withNote(provider(ID::claude, { fiveHours }, Status::error), "HTTP 503")), true, p42, 0.42,
            none, "limits.last_known_at[07:26]", claudeGauge },
    };
    for (auto const& test : cases) {
        SCOPED_TRACE(test.name);
        ProviderCompactLine const line({ test.provider, test.stale ? Freshness::stale : Freshness::fresh }, now);
        EXPECT_EQ(line.percentageText(), test.percentage);
        auto const meter = line.meter();
        EXPECT_DOUBLE_EQ(meter.progress(), test.progress);
        EXPECT_EQ(meter.tint(), test.tint);
        EXPECT_EQ(line.detailLine(), test.detail);
        auto const laidOut = dumped(line.body(), 400, 60);
        auto const& look = appearance(test.provider.id);
        EXPECT_EQ(laidOut.accessibility,
            "%1$s. %2$s. %3$s[" + look.displayTitle + "|" + test.percentage + "|" + test.detail + "]\n" + test.gauge);
    }
}
