#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetView.hpp"

#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"
#include "Platform/UI/UITestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using WidgetKit::WidgetFamily;
using WidgetTest::limit;
using WidgetTest::now;
using WidgetTest::provider;
using WidgetTest::titled;

// The widget's picture of `entry` at the family's size, in keys mode.
class WidgetViewTest : public KeysInEnglish {
protected:
    static WidgetTest::Dumps render(WidgetFamily family, const TavvoWidgetEntry& entry)
    {
        auto const size = WidgetKit::size(family);
        return WidgetTest::dumped(TavvoWidgetView(family, entry).body().composed(size), size.width, size.height);
    }
};

TavvoWidgetEntry entryWith(std::vector<TavvoWidgetProviderSnapshot> providers, std::optional<CodexAnalyticsSummary> analytics = std::nullopt)
{
    return { now, TavvoWidgetSnapshot { 4, now - 30min, std::move(providers), std::move(analytics) }, std::nullopt };
}

CodexAnalyticsSummary analytics(TavvoWidgetForecastState state, std::optional<Foundation::Date> observedAt)
{
    return { "Account", std::nullopt, std::nullopt, state, std::nullopt, std::nullopt, 50, observedAt, 10, std::nullopt };
}

}

// The whole text of each family in each situation: which providers show
// and in what order, how many rows each family has room for, the stale
// badge, the analytics block and the footer's time.
TEST_F(WidgetViewTest, EachFamilyShowsItsPartsInEachSituation)
{
    // Codex observed at 09:16 with a duplicate observed at 09:23, which is
    // not shown but still dates the footer; claude stale since 07:26.
    auto codex = titled(provider(TavvoWidgetProviderID::codex, { limit("x.1", 20, now + 2h, "5h"), limit("x.2", 60), limit("x.3", 90) }), "Codex first");
    codex.observedAt = now - 10min;
    auto duplicate = titled(provider(TavvoWidgetProviderID::codex, { limit("x.4", 30) }), "Codex second");
    duplicate.observedAt = now - 3min;
    auto const claude = titled(WidgetTest::staled(provider(TavvoWidgetProviderID::claude, { limit("c.1", 10) })), "Claude first");
    auto const lasting = analytics(TavvoWidgetForecastState::lastsUntilReset, now);

    std::string const header = "app.title\n";
    std::string const badge = "widget.stale\n";
    std::string const codexColumn = "Codex\nCodex first\n5h\nlimit.percent_remaining[20]\nwidget.reset\n11:26\nx.2 title\nlimit.percent_remaining[60]\n";
    std::string const claudeColumn = "Claude Code\nClaude first\nc.1 title\nlimit.percent_remaining[10]\nlimits.last_known_at[07:26]\n";
    auto const block = [](const char* sentence) {
        return "Account\n" + std::string(sentence) + "\ninsights.metric.tokens\n10\ninsights.metric.credits\n—\n";
    };
    std::string const mixedSmall = header + "Codex\nlimit.percent_remaining[20]\n5h · widget.reset 11:26\n"
        + "Claude\nlimit.percent_remaining[10]\nlimits.last_known_at[07:26]\n";
    struct Case {
        const char* situation;
        TavvoWidgetEntry entry;
        std::string small, medium, large, extraLarge;
    };
    Case const cases[] = {
        { "claude stored first, codex twice", entryWith({ claude, codex, duplicate }, lasting), mixedSmall,
            header + codexColumn + claudeColumn,
            header + block("insights.forecast.lasts") + codexColumn + claudeColumn + "widget.updated\n09:23\n",
            header + block("insights.forecast.lasts") + codexColumn + "x.3 title\nlimit.percent_remaining[90]\n" + claudeColumn + "widget.updated\n09:23\n" },
        { "nothing fresh, analytics at the end of their window",
            entryWith({ claude }, analytics(TavvoWidgetForecastState::lastsUntilReset, now - 900s)),
            header + badge + "Claude\nlimit.percent_remaining[10]\nlimits.last_known_at[07:26]\n", header + badge + claudeColumn,
            header + badge + block("insights.forecast.stale") + claudeColumn + "widget.updated\n07:26\n",
            header + badge + block("insights.forecast.stale") + claudeColumn + "widget.updated\n07:26\n" },
        // No provider observed: the footer falls back to generatedAt.
        { "no providers", entryWith({}, analytics(TavvoWidgetForecastState::collecting, std::nullopt)), header + badge, header + badge,
            header + badge + block("insights.forecast.collecting") + "widget.updated\n08:56\n",
            header + badge + block("insights.forecast.collecting") + "widget.updated\n08:56\n" },
    };
    for (auto const& item : cases) {
        SCOPED_TRACE(item.situation);
        EXPECT_EQ(render(WidgetFamily::systemSmall, item.entry).text, item.small);
        EXPECT_EQ(render(WidgetFamily::systemMedium, item.entry).text, item.medium);
        EXPECT_EQ(render(WidgetFamily::systemLarge, item.entry).text, item.large);
        EXPECT_EQ(render(WidgetFamily::systemExtraLarge, item.entry).text, item.extraLarge);
    }
}

// A reset on the entry's calendar day shows its time alone; any other
// names its day, in the row, the small size's detail line, the labels
// read aloud and the meter's gauge. The day is the one of the zone in force: at 23:05 UTC it is
// already tomorrow in Paris.
TEST_F(WidgetViewTest, AResetNotTodayNamesItsDay)
{
    struct Case {
        const char* language;
        Foundation::Date reset;
        std::string label, instant;
    };
    Case const cases[] = {
        { "en", now + 2h, "Resets", "12:26" },
        { "en", now + 13h + 39min, "Resets", "Mar 15, 00:05" },
        { "en", now + 6 * 24h, "Resets", "Mar 20, 10:26" },
        { "fr", now + 2h, "Réinit. à", "12:26" },
        { "fr", now + 13h + 39min, "Réinit.", "15 mars, 00:05" },
        { "fr", now + 6 * 24h, "Réinit.", "20 mars, 10:26" },
    };
    for (auto const& test : cases) {
        ScopedLanguage const language(test.language, "Europe/Paris");
        auto const reset = test.label + " " + test.instant;
        SCOPED_TRACE(reset);
        auto const percentage = L10n::percentRemaining(42);
        auto const gauge = "[gauge 42/100] Codex plan, Week: " + percentage + ". " + reset + "\n";
        auto const entry = entryWith({ provider(TavvoWidgetProviderID::codex, { limit("week", 42, test.reset, "Week") }) });

        auto const small = render(WidgetFamily::systemSmall, entry);
        EXPECT_EQ(small.text, "Tavvo\nCodex\n" + percentage + "\nWeek · " + reset + "\n");
        EXPECT_EQ(small.accessibility, "Tavvo\nCodex. " + percentage + ". Week · " + reset + "\n" + gauge);

        auto const medium = render(WidgetFamily::systemMedium, entry);
        EXPECT_EQ(medium.text, "Tavvo\nCodex\nCodex plan\nWeek\n" + percentage + "\n" + test.label + "\n" + test.instant + "\n");
        EXPECT_EQ(medium.accessibility, "Tavvo\nCodex\nCodex plan\nWeek. " + percentage + ". " + reset + "\n" + gauge);
    }
}

// Without a snapshot the entry's error shows, else a request to open the
// app once; the empty state does not depend on the family.
TEST_F(WidgetViewTest, EmptyStateShowsTheEntrysErrorElseAskToOpenOnce)
{
    TavvoWidgetEntry const failed { now, std::nullopt, "widget.snapshot_unavailable" };
    TavvoWidgetEntry const silent { now, std::nullopt, std::nullopt };
    EXPECT_EQ(render(WidgetFamily::systemSmall, failed).text,
        "app.title\nwidget.stale\nwidget.snapshot_unavailable\nwidget.empty_explanation\n");
    EXPECT_EQ(render(WidgetFamily::systemLarge, silent).text,
        "app.title\nwidget.stale\nwidget.open_once\nwidget.empty_explanation\n");
}

TEST_F(WidgetViewTest, EveryTextFitsEverySizeInEveryLanguage)
{
    ScopedEnvironment const words { { "TAVVO_L10N_SHOW_KEYS", std::nullopt } };
    auto const demo = TavvoWidgetTimelineProvider::demoSnapshot(now);
    // The demo, then its longest sentences: an exhaustion countdown, and
    // stale data with the last-known and status notes.
    auto exhausting = demo;
    exhausting.codexAnalytics->forecastState = TavvoWidgetForecastState::exhaustsBeforeReset;
    exhausting.codexAnalytics->predictedExhaustionAt = now + 23h + 59min;
    auto stale = demo;
    stale.codexAnalytics->forecastState = TavvoWidgetForecastState::stale;
    for (auto& provider : stale.providers) {
        provider.limits.push_back(limit(provider.limits.front().id + ".more", 12, now + 1h, "Opus"));
        provider = WidgetTest::staled(provider);
    }
    // Every status message the columns and lines can show.
    auto unavailable = demo;
    unavailable.providers[0] = provider(TavvoWidgetProviderID::codex, {}, TavvoWidgetProviderStatus::unavailable);
    unavailable.providers[1] = provider(TavvoWidgetProviderID::claude, {}, TavvoWidgetProviderStatus::error);
    auto empty = demo;
    empty.providers[0] = provider(TavvoWidgetProviderID::codex, {}, TavvoWidgetProviderStatus::noData);
    empty.providers[1] = provider(TavvoWidgetProviderID::claude, {});
    std::vector<TavvoWidgetEntry> const entries {
        { now, demo, std::nullopt },
        { now, unavailable, std::nullopt },
        { now, empty, std::nullopt },
        { now, exhausting, std::nullopt },
        { now, stale, std::nullopt },
        { now, std::nullopt, "widget.snapshot_unavailable" },
    };
    for (auto const& language : L10n::supportedLocalizations()) {
        ScopedLanguage::speak(language);
        // The longest reset texts: the weekly limits bind and reset six
        // days ahead, in September (the longest abbreviated month names),
        // titled as the collector titles them in this language.
        auto const september = now + 184 * 24h;
        auto distant = TavvoWidgetTimelineProvider::demoSnapshot(september);
        for (auto& provider : distant.providers) {
            provider.limits = { limit(provider.limits.front().id, 90, september + 1h, L10n::windowLabel(300min, "")),
                limit(provider.limits.back().id, 12, september + 6 * 24h + 14h, L10n::windowLabel(10080min, "")) };
        }
        auto all = entries;
        all.push_back({ september, distant, std::nullopt });
        for (auto entry : all) {
            if (entry.errorText)
                entry.errorText = L10n::tr(*entry.errorText);
            for (auto const family : WidgetKit::allWidgetFamilies) {
                auto const root = render(family, entry).root;
                for (auto const* node : nodesOfKind(root, UI::LaidOutNode::Kind::text)) {
                    auto const& text = std::get<UI::LaidOutText>(node->content);
                    EXPECT_FALSE(text.truncated) << language << " " << name(family) << ": " << text.string;
                    // Inside the widget's padding on every side.
                    auto const size = WidgetKit::size(family);
                    auto const& frame = node->frame;
                    EXPECT_TRUE(frame.origin.x >= 15.9 && frame.origin.y >= 15.9 && frame.origin.x + frame.size.width <= size.width - 15.9
                        && frame.origin.y + frame.size.height <= size.height - 15.9)
                        << language << " " << name(family) << ": " << text.string;
                }
            }
        }
    }
}
