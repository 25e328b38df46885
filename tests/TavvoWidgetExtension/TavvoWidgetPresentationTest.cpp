// What an entry shows, decided once for the views, the status bar and the
// notifier: each provider judged at the entry's date, the analytics'
// staleness, and the forecast sentence.
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace WidgetTest;
using State = TavvoWidgetForecastState;

TavvoWidgetEntry entryAt(Foundation::Date date, std::vector<TavvoWidgetProviderSnapshot> providers,
    std::optional<CodexAnalyticsSummary> analytics = std::nullopt)
{
    return { date, TavvoWidgetSnapshot { 4, now - 30min, std::move(providers), std::move(analytics) }, std::nullopt };
}

CodexAnalyticsSummary analytics(State state, std::optional<Foundation::Date> observedAt, std::optional<Foundation::Date> exhaustion = std::nullopt)
{
    return { "Account", std::nullopt, std::nullopt, state, exhaustion, std::nullopt, 50, observedAt, 10, std::nullopt };
}

std::vector<Freshness> judged(const TavvoWidgetPresentation& presentation)
{
    std::vector<Freshness> freshness;
    for (auto const& provider : presentation.providers())
        freshness.push_back(provider.freshness);
    return freshness;
}

using TavvoWidgetPresentationKeys = KeysInEnglish;

}

// Each provider by its own window at the entry's date, not at the time the
// document was read.
TEST(TavvoWidgetPresentation, ProvidersAreJudgedAtTheEntrysDate)
{
    auto const codex = provider(ID::codex, { weekly });
    auto const claude = provider(ID::claude, { weekly });
    std::tuple<Foundation::Date, std::vector<TavvoWidgetProviderSnapshot>, std::vector<Freshness>> const cases[] = {
        { now, { claude, staled(codex) }, { Freshness::stale, Freshness::fresh } },
        { now - 90min, { staled(codex), staled(claude) }, { Freshness::fresh, Freshness::fresh } },
        // freshUntil itself is no longer fresh.
        { now + 10min, { codex }, { Freshness::stale } },
    };
    for (auto const& [date, providers, freshness] : cases) {
        TavvoWidgetPresentation const presentation(entryAt(date, providers));
        EXPECT_EQ(judged(presentation), freshness);
        EXPECT_EQ(presentation.anyFresh(), std::find(freshness.begin(), freshness.end(), Freshness::fresh) != freshness.end());
    }
    TavvoWidgetPresentation const nothing(TavvoWidgetEntry { now, std::nullopt, "widget.open_once" });
    EXPECT_TRUE(nothing.providers().empty());
    EXPECT_FALSE(nothing.anyFresh());
    EXPECT_EQ(nothing.updatedAt(), std::nullopt);
}

TEST(TavvoWidgetPresentation, AnalyticsGoStaleAtTheEndOfTheirWindow)
{
    struct Case {
        State state;
        std::optional<Foundation::Date> observedAt;
        bool stale;
    };
    Case const cases[] = {
        { State::lastsUntilReset, now - 899s, false },
        { State::lastsUntilReset, now + 1s, true }, // observed in the future: not fresh
        { State::stale, now, true },
        { State::stale, std::nullopt, true },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoWidgetPresentation(entryAt(now, {}, analytics(item.state, item.observedAt))).analyticsStale(), item.stale);
    EXPECT_FALSE(TavvoWidgetPresentation(entryAt(now, {})).analyticsStale());
}

// Stale data overrides every state's sentence.
TEST_F(TavvoWidgetPresentationKeys, ForecastSentenceByStateAndStaleness)
{
    std::string const exhaustsIn = "insights.forecast.exhausts_in";
    std::tuple<State, std::optional<Foundation::Date>, std::string> const cases[] = {
        { State::collecting, std::nullopt, "insights.forecast.collecting" },
        { State::lastsUntilReset, std::nullopt, "insights.forecast.lasts" },
        { State::stale, std::nullopt, "insights.forecast.stale" },
        // An exhaustion time is only read for the exhausting state.
        { State::lastsUntilReset, now + 3h, "insights.forecast.lasts" },
        { State::exhaustsBeforeReset, std::nullopt, "insights.forecast.exhausted" },
        { State::exhaustsBeforeReset, now + 3h, exhaustsIn + "[duration.hours.short[3]]" },
        { State::exhaustsBeforeReset, now + 3h - 1us, exhaustsIn + "[duration.hours_minutes[2|59]]" },
        // A time already past still counts down, so it is not "exhausted".
        { State::exhaustsBeforeReset, now - 2h, exhaustsIn + "[duration.minutes.short[1]]" },
    };
    for (auto const& [state, exhaustion, sentence] : cases) {
        auto const summary = analytics(state, now, exhaustion);
        EXPECT_EQ(forecastSentence(summary, now, Freshness::fresh), sentence);
        EXPECT_EQ(forecastSentence(summary, now, Freshness::stale), "insights.forecast.stale") << sentence;
        // The entry's own sentence follows the analytics' own staleness.
        EXPECT_EQ(TavvoWidgetPresentation(entryAt(now, {}, summary)).forecastSentence(), state == State::stale ? "insights.forecast.stale" : sentence);
    }
    EXPECT_EQ(TavvoWidgetPresentation(entryAt(now, {})).forecastSentence(), std::nullopt);
}
