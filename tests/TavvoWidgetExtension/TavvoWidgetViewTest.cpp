#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetView.hpp"

#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"
#include "TestSupport/ScopedLanguage.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"
#include "Platform/UI/UITestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using WidgetKit::WidgetFamily;
using WidgetTest::limit;
using WidgetTest::now;
using WidgetTest::provider;
using WidgetTest::occurrences;
using WidgetTest::titled;

// The widget's picture of `entry` at the family's size, in keys mode.
class WidgetViewTest : public ::testing::Test {
protected:
    static WidgetTest::Dumps render(WidgetFamily family, const TavvoWidgetEntry& entry)
    {
        auto const size = WidgetKit::size(family);
        return WidgetTest::dumped(TavvoWidgetView(family, entry).body().composed(size), size.width, size.height);
    }
private:
    ScopedLanguage m_language { "en" };
    ScopedKeysMode m_keys;
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

TEST_F(WidgetViewTest, ProvidersShowCodexFirstAndEachIdOnce)
{
    auto const entry = entryWith({
        titled(provider(TavvoWidgetProviderID::claude, { limit("c.1", 10) }), "Claude first"),
        titled(provider(TavvoWidgetProviderID::codex, { limit("x.1", 20) }), "Codex first"),
        titled(provider(TavvoWidgetProviderID::codex, { limit("x.2", 30) }), "Codex second"),
    });
    for (auto const family : WidgetKit::allWidgetFamilies) {
        auto const text = render(family, entry).text;
        if (family != WidgetFamily::systemSmall) {
            auto const codex = text.find("Codex first");
            ASSERT_NE(codex, std::string::npos) << name(family);
            EXPECT_LT(codex, text.find("Claude first")) << name(family);
        }
        EXPECT_EQ(text.find("Codex second"), std::string::npos) << name(family);
        EXPECT_LT(text.find("limit.percent_remaining[20]"), text.find("limit.percent_remaining[10]")) << name(family);
    }
}

TEST_F(WidgetViewTest, StaleBadgeOnlyWhenNothingShownIsFresh)
{
    auto const fresh = provider(TavvoWidgetProviderID::codex, { limit("x.1", 20) });
    auto const stale = WidgetTest::staled(provider(TavvoWidgetProviderID::claude, { limit("c.1", 10) }));
    struct Case {
        const char* situation;
        TavvoWidgetEntry entry;
        bool badge;
    };
    Case const cases[] = {
        { "one fresh, one stale", entryWith({ stale, fresh }), false },
        { "all stale", entryWith({ stale }), true },
        { "no providers", entryWith({}), true },
        { "no document", { now, std::nullopt, "widget.snapshot_unavailable" }, true },
        // Fresh only strictly before freshUntil.
        { "fresh until now", entryWith({ [&] { auto p = fresh; p.freshUntil = now; return p; }() }), true },
    };
    for (auto const& item : cases) {
        for (auto const family : WidgetKit::allWidgetFamilies)
            EXPECT_EQ(occurrences(render(family, item.entry).text, "widget.stale\n"), item.badge ? 1u : 0u) << item.situation << " " << name(family);
    }
}

TEST_F(WidgetViewTest, EachFamilyShowsItsParts)
{
    auto limits = std::vector { limit("x.1", 70), limit("x.2", 60), limit("x.3", 50) };
    auto const entry = entryWith({ provider(TavvoWidgetProviderID::codex, limits) },
        analytics(TavvoWidgetForecastState::lastsUntilReset, now));
    struct Case {
        WidgetFamily family;
        bool analytics;
        bool footer;
        std::size_t rows;
    };
    Case const cases[] = {
        { WidgetFamily::systemSmall, false, false, 1 }, // the binding limit only
        { WidgetFamily::systemMedium, false, false, 2 },
        { WidgetFamily::systemLarge, true, true, 2 },
        { WidgetFamily::systemExtraLarge, true, true, 3 },
    };
    for (auto const& item : cases) {
        auto const text = render(item.family, entry).text;
        EXPECT_EQ(text.find("insights.forecast.lasts") != std::string::npos, item.analytics) << name(item.family);
        EXPECT_EQ(text.find("widget.updated") != std::string::npos, item.footer) << name(item.family);
        EXPECT_EQ(occurrences(text, "limit.percent_remaining["), item.rows) << name(item.family);
        // A present document hides the entry's message.
        EXPECT_EQ(text.find("widget.empty_explanation"), std::string::npos);
    }
}

TEST_F(WidgetViewTest, FooterShowsTheLatestObservationOfAnyProvider)
{
    auto first = provider(TavvoWidgetProviderID::codex, {});
    auto second = provider(TavvoWidgetProviderID::codex, {}); // a duplicate still counts here
    first.observedAt = now - 10min; // 09:16
    second.observedAt = now - 3min; // 09:23
    auto const footer = [&](std::vector<TavvoWidgetProviderSnapshot> providers) {
        auto const text = render(WidgetFamily::systemLarge, entryWith(std::move(providers))).text;
        return text.substr(text.find("widget.updated\n"));
    };
    EXPECT_EQ(footer({ first, second }), "widget.updated\n09:23\n");
    EXPECT_EQ(footer({ second, first }), "widget.updated\n09:23\n");
    first.observedAt.reset();
    EXPECT_EQ(footer({ first }), "widget.updated\n08:56\n"); // generatedAt
    EXPECT_EQ(footer({}), "widget.updated\n08:56\n");
}

TEST_F(WidgetViewTest, AnalyticsGoStaleAtTheEndOfTheirWindow)
{
    using State = TavvoWidgetForecastState;
    struct Case {
        State state;
        std::optional<Foundation::Date> observedAt;
        bool stale;
    };
    Case const cases[] = {
        { State::lastsUntilReset, now - 900s, true },
        { State::lastsUntilReset, now - 899s, false },
        { State::lastsUntilReset, now + 1s, true }, // observed in the future: not fresh
        { State::collecting, std::nullopt, false }, // however old the document
        { State::stale, now, true },
        { State::stale, std::nullopt, true },
    };
    for (auto const& item : cases) {
        auto const entry = entryWith({}, analytics(item.state, item.observedAt));
        EXPECT_EQ(TavvoWidgetView(WidgetFamily::systemLarge, entry).analyticsStale(), item.stale);
        auto const text = render(WidgetFamily::systemLarge, entry).text;
        EXPECT_EQ(text.find("insights.forecast.stale") != std::string::npos, item.stale);
    }
}

TEST_F(WidgetViewTest, EmptyStateLooksTheSameInEveryFamily)
{
    TavvoWidgetEntry const failed { now, std::nullopt, "widget.snapshot_unavailable" };
    TavvoWidgetEntry const silent { now, std::nullopt, std::nullopt };
    for (auto const family : WidgetKit::allWidgetFamilies) {
        EXPECT_EQ(render(family, failed).text, "app.title\nwidget.stale\nwidget.snapshot_unavailable\nwidget.empty_explanation\n");
        EXPECT_EQ(render(family, silent).text, "app.title\nwidget.stale\nwidget.open_once\nwidget.empty_explanation\n");
        EXPECT_EQ(TavvoWidgetView(family, failed).body().url(), TavvoWidgetConstants::openURL());
    }
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
        provider.observedAt = now - 2h;
        provider.freshUntil = now - 1h;
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
        for (auto entry : entries) {
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
