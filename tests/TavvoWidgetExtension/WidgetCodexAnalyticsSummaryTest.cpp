#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/WidgetAnalyticsMetric.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/WidgetCodexAnalyticsSummary.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "Platform/UI/UITestSupport.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using WidgetTest::now;

constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();

// The analytics block is laid out at this width in the large layouts.
constexpr double blockWidth = 332;
constexpr double blockHeight = 120;

// The demo values of the previews: a fresh forecast that lasts.
CodexAnalyticsSummary demoSummary()
{
    return {
        .accountLabel = "Demo account",
        .planTitle = "ChatGPT Pro 20×",
        .quotaTitle = "GPT-5.3-Codex-Spark",
        .forecastState = TavvoWidgetForecastState::lastsUntilReset,
        .predictedExhaustionAt = std::nullopt,
        .resetAt = now + 3h,
        .remainingPercent = 81,
        .forecastObservedAt = now - 1min,
        .weeklyTokens = 12'400'000,
        .weeklyCredits = Foundation::Decimal::fromInteger(482),
    };
}

// Nothing optional present; the forecast still collecting.
CodexAnalyticsSummary bareSummary()
{
    return {
        .accountLabel = std::nullopt,
        .planTitle = std::nullopt,
        .quotaTitle = std::nullopt,
        .forecastState = TavvoWidgetForecastState::collecting,
        .predictedExhaustionAt = std::nullopt,
        .resetAt = std::nullopt,
        .remainingPercent = std::nullopt,
        .forecastObservedAt = std::nullopt,
        .weeklyTokens = 0,
        .weeklyCredits = std::nullopt,
    };
}

CodexAnalyticsSummary withTokens(std::int64_t tokens)
{
    auto summary = bareSummary();
    summary.weeklyTokens = tokens;
    return summary;
}

CodexAnalyticsSummary withCredits(std::optional<std::string> credits)
{
    auto summary = bareSummary();
    if (credits)
        summary.weeklyCredits = Foundation::Decimal::fromString(*credits).value();
    return summary;
}

CodexAnalyticsSummary withForecast(TavvoWidgetForecastState state, std::optional<Foundation::Date> exhaustion = std::nullopt)
{
    auto summary = bareSummary();
    summary.forecastState = state;
    summary.predictedExhaustionAt = exhaustion;
    return summary;
}

const UI::LaidOutText& textOf(const UI::LaidOutNode* node)
{
    return std::get<UI::LaidOutText>(node->content);
}

std::string describe(std::optional<std::int64_t> value)
{
    return value ? std::to_string(*value) : "absent";
}

// Keys mode over English number formatting: texts read as their keys,
// numbers in the en locale.
class WidgetCodexAnalyticsSummaryKeys : public ::testing::Test {
protected:
    ScopedLanguage language { "en" };
    ScopedKeysMode keys;
};

// Real English texts, to pin exact number and suffix text.
class WidgetCodexAnalyticsSummaryEnglish : public ::testing::Test {
protected:
    ScopedLanguage language { "en" };
};

}

// Weekly tokens

TEST_F(WidgetCodexAnalyticsSummaryKeys, TokensPickTheirBranchOnTheIntegerAndDivideExactly)
{
    std::string const k = "insights.tokens.thousands_suffix";
    std::string const m = "insights.tokens.millions_suffix";
    struct Case {
        std::int64_t tokens;
        std::string expected;
    };
    Case const cases[] = {
        // Below a thousand, negatives included: the integer format.
        { 0, "0" },
        { 1, "1" },
        { 999, "999" },
        { -1, "-1" },
        { -1'000, "-1,000" },
        { -1'234'567, "-1,234,567" },
        { int64Min, "-9,223,372,036,854,775,808" },
        // Thousands, at most one fraction digit, no blank before the suffix.
        { 1'000, "1" + k },
        { 1'001, "1" + k },
        { 12'345, "12.3" + k },
        { 12'350, "12.4" + k },
        // Exact decimal ties round half to even: 1.05 → 1, 1.15 → 1.2.
        // In binary floating point 1.05 lies above the tie and 1.15 below.
        { 1'050, "1" + k },
        { 1'150, "1.2" + k },
        { 999'949, "999.9" + k },
        // Still the thousands branch, although it reads as a thousand.
        { 999'950, "1,000" + k },
        { 999'999, "1,000" + k },
        // Millions.
        { 1'000'000, "1" + m },
        { 2'560'000, "2.6" + m },
        { 2'450'000, "2.4" + m },
        { 2'550'000, "2.6" + m },
        { 12'400'000, "12.4" + m },
        { 1'000'000'000, "1,000" + m },
        { int64Max, "9,223,372,036,854.8" + m },
    };
    for (auto const& test : cases) {
        WidgetCodexAnalyticsSummary const view(withTokens(test.tokens), now, false);
        EXPECT_EQ(view.tokensValue(), test.expected) << test.tokens;
    }
}

TEST_F(WidgetCodexAnalyticsSummaryEnglish, TokensReadWithTheEnglishSuffixes)
{
    std::pair<std::int64_t, std::string> const cases[] = {
        { 999, "999" },
        { 1'000, "1K" },
        { 12'345, "12.3K" },
        { 999'999, "1,000K" },
        { 1'000'000, "1M" },
        { 2'560'000, "2.6M" },
        { -5'000, "-5,000" },
    };
    for (auto const& [tokens, expected] : cases) {
        WidgetCodexAnalyticsSummary const view(withTokens(tokens), now, false);
        EXPECT_EQ(view.tokensValue(), expected) << tokens;
    }
}

TEST(WidgetCodexAnalyticsSummaryLanguages, TokensFollowTheLanguagesMarksAndSuffixes)
{
    struct Case {
        std::string language;
        std::int64_t tokens;
        std::string expected;
    };
    Case const cases[] = {
        { "ru", 12'345, "12,3К" },
        { "fr", 12'345, "12,3k" },
        { "es", 2'560'000, "2,6M" },
        { "zh-Hans", 2'560'000, "2.6M" },
    };
    for (auto const& test : cases) {
        ScopedLanguage const language(test.language);
        WidgetCodexAnalyticsSummary const view(withTokens(test.tokens), now, false);
        EXPECT_EQ(view.tokensValue(), test.expected) << test.language;
    }
}

// Weekly credits

TEST_F(WidgetCodexAnalyticsSummaryKeys, CreditsShowAtMostOneFractionDigitOrTheDash)
{
    std::pair<std::optional<std::string>, std::string> const cases[] = {
        { std::nullopt, "—" },
        { "0", "0" },
        { "482", "482" },
        { "12.3456", "12.3" },
        { "3.14159265358979323846264338327950288", "3.1" },
        { "1234.56", "1,234.6" },
        // Half to even, on the exact decimal.
        { "0.25", "0.2" },
        { "0.35", "0.4" },
        { "0.05", "0" },
        { "-3.75", "-3.8" },
        { "1e20", "100,000,000,000,000,000,000" },
    };
    for (auto const& [credits, expected] : cases) {
        WidgetCodexAnalyticsSummary const view(withCredits(credits), now, false);
        EXPECT_EQ(view.creditsValue(), expected) << credits.value_or("absent");
    }
}

// Forecast

TEST_F(WidgetCodexAnalyticsSummaryKeys, ForecastSentenceByStateAndStaleness)
{
    using State = TavvoWidgetForecastState;
    std::string const exhaustsIn = "insights.forecast.exhausts_in";
    struct Case {
        State state;
        std::optional<Foundation::Date> exhaustion;
        std::string fresh;
        const char* what;
    };
    Case const cases[] = {
        { State::collecting, std::nullopt, "insights.forecast.collecting", "collecting" },
        { State::lastsUntilReset, std::nullopt, "insights.forecast.lasts", "lasts" },
        { State::stale, std::nullopt, "insights.forecast.stale", "stale state" },
        // An exhaustion time is only read for the exhausting state.
        { State::lastsUntilReset, now + 3h, "insights.forecast.lasts", "lasts with a time" },
        { State::exhaustsBeforeReset, std::nullopt, "insights.forecast.exhausted", "no exhaustion time" },
        { State::exhaustsBeforeReset, now + 3h, exhaustsIn + "[duration.hours.short[3]]", "three hours ahead" },
        { State::exhaustsBeforeReset, now + 3h + 59s + 999ms, exhaustsIn + "[duration.hours.short[3]]", "sub-second part dropped" },
        { State::exhaustsBeforeReset, now + 3h - 1us, exhaustsIn + "[duration.hours_minutes[2|59]]", "just short of three hours" },
        { State::exhaustsBeforeReset, now + 25h, exhaustsIn + "[duration.days_hours[1|1]]", "a day and an hour" },
        { State::exhaustsBeforeReset, now + 30s, exhaustsIn + "[duration.minutes.short[1]]", "half a minute" },
        // A time already past still has a countdown (it reads as one
        // minute), so the sentence stays the countdown sentence.
        { State::exhaustsBeforeReset, now, exhaustsIn + "[duration.minutes.short[1]]", "exactly now" },
        { State::exhaustsBeforeReset, now - 2h, exhaustsIn + "[duration.minutes.short[1]]", "two hours past" },
    };
    for (auto const& test : cases) {
        WidgetCodexAnalyticsSummary const fresh(withForecast(test.state, test.exhaustion), now, false);
        EXPECT_EQ(fresh.forecastText(), test.fresh) << test.what;
        EXPECT_EQ(fresh.forecastSentence(), test.fresh) << test.what;

        // Stale data overrides every state.
        WidgetCodexAnalyticsSummary const stale(withForecast(test.state, test.exhaustion), now, true);
        EXPECT_EQ(stale.forecastSentence(), "insights.forecast.stale") << test.what;
        // forecastText() stays the sentence of the state.
        EXPECT_EQ(stale.forecastText(), test.fresh) << test.what;
    }
}

TEST_F(WidgetCodexAnalyticsSummaryKeys, ExhaustionSecondsTruncateTowardZero)
{
    // Before the epoch, -0.5 s truncates toward zero to 0 (not down to -1),
    // which leaves exactly three hours from 21:00 on 1969-12-31.
    Foundation::Date const evening(-3h);
    WidgetCodexAnalyticsSummary const view(
        withForecast(TavvoWidgetForecastState::exhaustsBeforeReset, Foundation::Date(-500ms)), evening, false);
    EXPECT_EQ(view.forecastText(), "insights.forecast.exhausts_in[duration.hours.short[3]]");
}

TEST_F(WidgetCodexAnalyticsSummaryKeys, ExhaustionTimesAtTheEndsOfTheDateRangeStillReadAsACountdown)
{
    std::pair<Foundation::Date, std::string> const cases[] = {
        { Foundation::Date::min(), "insights.forecast.exhausts_in[duration.minutes.short[1]]" },
        { Foundation::Date::max(), "insights.forecast.exhausts_in[duration.days_hours[" },
    };
    Foundation::Date const instants[] = { now, Foundation::Date::min(), Foundation::Date::max(), Foundation::Date() };
    for (auto const& [exhaustion, prefix] : cases) {
        WidgetCodexAnalyticsSummary const view(withForecast(TavvoWidgetForecastState::exhaustsBeforeReset, exhaustion), now, false);
        EXPECT_EQ(view.forecastText().rfind(prefix, 0), 0u) << view.forecastText();
        for (auto const reference : instants) {
            WidgetCodexAnalyticsSummary const other(withForecast(TavvoWidgetForecastState::exhaustsBeforeReset, exhaustion), reference, false);
            EXPECT_EQ(other.forecastText().rfind("insights.forecast.exhausts_in[duration.", 0), 0u) << other.forecastText();
        }
    }
}

TEST(WidgetCodexAnalyticsSummaryColors, ForecastColorByStateAndStaleness)
{
    using State = TavvoWidgetForecastState;
    auto const tight = color(NovikSeverity::tight);
    struct Case {
        State state;
        std::optional<Foundation::Date> exhaustion;
        bool stale;
        UI::Color expected;
        const char* what;
    };
    Case const cases[] = {
        { State::collecting, std::nullopt, false, UI::Color::primary(), "collecting" },
        { State::lastsUntilReset, std::nullopt, false, UI::Color::primary(), "lasts" },
        { State::stale, std::nullopt, false, UI::Color::primary(), "stale state, fresh data" },
        { State::exhaustsBeforeReset, now + 3h, false, tight, "exhausts in three hours" },
        { State::exhaustsBeforeReset, std::nullopt, false, tight, "exhausted" },
        { State::collecting, std::nullopt, true, UI::Color::secondary(), "stale collecting" },
        { State::lastsUntilReset, std::nullopt, true, UI::Color::secondary(), "stale lasts" },
        { State::stale, std::nullopt, true, UI::Color::secondary(), "stale stale" },
        { State::exhaustsBeforeReset, now + 3h, true, UI::Color::secondary(), "stale exhausts" },
    };
    EXPECT_EQ(tight, NovikPalette::tight());
    for (auto const& test : cases) {
        WidgetCodexAnalyticsSummary const view(withForecast(test.state, test.exhaustion), now, test.stale);
        EXPECT_EQ(view.forecastColor(), test.expected) << test.what;
    }
}

// Title and subtitle

TEST_F(WidgetCodexAnalyticsSummaryKeys, TitleIsTheAccountLabelEvenWhenEmpty)
{
    std::pair<std::optional<std::string>, std::string> const cases[] = {
        { std::nullopt, "insights.overview.title" },
        { "", "" },
        { "Demo account", "Demo account" },
    };
    for (auto const& [label, expected] : cases) {
        auto summary = bareSummary();
        summary.accountLabel = label;
        WidgetCodexAnalyticsSummary const view(summary, now, false);
        EXPECT_EQ(view.titleLine(), expected);

        auto const dumps = WidgetTest::dumped(view.body(), blockWidth, blockHeight);
        auto const texts = nodesOfKind(dumps.root, UI::LaidOutNode::Kind::text);
        ASSERT_FALSE(texts.empty());
        auto const& title = textOf(texts.front());
        EXPECT_EQ(title.string, expected);
        EXPECT_EQ(title.setting.style, UI::TextStyle::headline);
        EXPECT_EQ(title.setting.lineLimit, std::optional<int>(1));
    }
}

TEST_F(WidgetCodexAnalyticsSummaryKeys, SubtitleJoinsQuotaThenPlanAndIsLeftOutWhenEmpty)
{
    struct Case {
        std::optional<std::string> quota;
        std::optional<std::string> plan;
        std::optional<std::string> expected;
    };
    Case const cases[] = {
        { std::nullopt, std::nullopt, std::nullopt },
        { std::nullopt, "ChatGPT Pro", "ChatGPT Pro" },
        { "GPT-5.3-Codex-Spark", std::nullopt, "GPT-5.3-Codex-Spark" },
        { "GPT-5.3-Codex-Spark", "ChatGPT Pro", "GPT-5.3-Codex-Spark · ChatGPT Pro" },
        // Empty texts stay in the join.
        { "", "ChatGPT Pro", " · ChatGPT Pro" },
        { "Spark", "", "Spark · " },
        { "", "", " · " },
        // Only an empty join is left out.
        { "", std::nullopt, std::nullopt },
        { std::nullopt, "", std::nullopt },
    };
    for (auto const& test : cases) {
        auto summary = bareSummary();
        summary.quotaTitle = test.quota;
        summary.planTitle = test.plan;
        WidgetCodexAnalyticsSummary const view(summary, now, false);
        auto const what = test.quota.value_or("(absent)") + " / " + test.plan.value_or("(absent)");
        EXPECT_EQ(view.subtitleLine(), test.expected) << what;

        auto const dumps = WidgetTest::dumped(view.body(), blockWidth, blockHeight);
        // The titles' stack holds the title and, only when there is one,
        // the subtitle: no empty subtitle node is laid out.
        ASSERT_EQ(dumps.root.kind, UI::LaidOutNode::Kind::vstack) << dumps.tree;
        auto const& header = dumps.root.children.at(0);
        ASSERT_EQ(header.kind, UI::LaidOutNode::Kind::hstack) << dumps.tree;
        auto const& titles = header.children.at(0);
        ASSERT_EQ(titles.kind, UI::LaidOutNode::Kind::vstack) << dumps.tree;
        ASSERT_EQ(titles.children.size(), test.expected ? 2u : 1u) << what << "\n" << dumps.tree;
        auto const texts = nodesOfKind(dumps.root, UI::LaidOutNode::Kind::text);
        EXPECT_EQ(texts.size(), test.expected ? 7u : 6u) << what;
        if (test.expected) {
            auto const& subtitle = textOf(&titles.children[1]);
            EXPECT_EQ(subtitle.string, *test.expected);
        }
    }
}

// Meter

TEST(WidgetCodexAnalyticsSummaryMeter, ProgressAndTintFromTheRemainingShareUnlessStale)
{
    struct Case {
        std::optional<std::int64_t> remaining;
        bool stale;
        double progress;
        UI::Color tint;
    };
    Case const cases[] = {
        { 37, false, 0.37, color(NovikSeverities::forRemaining(37)) },
        { std::nullopt, false, 0, UI::Color::secondary() },
        { 0, false, 0, NovikPalette::critical() },
        { 10, false, 0.1, NovikPalette::critical() },
        { 11, false, 0.11, NovikPalette::tight() },
        { 31, false, 0.31, NovikPalette::watch() },
        { 81, false, 0.81, NovikPalette::ok() },
        { 100, false, 1, NovikPalette::ok() },
        // Not clamped here; the meter tolerates it when drawn.
        { 150, false, 1.5, NovikPalette::ok() },
        { -20, false, -0.2, NovikPalette::critical() },
        { int64Max, false, static_cast<double>(int64Max) / 100.0, NovikPalette::ok() },
        { int64Min, false, static_cast<double>(int64Min) / 100.0, NovikPalette::critical() },
        // Stale: an empty meter in the secondary colour, whatever remains.
        { 37, true, 0, UI::Color::secondary() },
        { 100, true, 0, UI::Color::secondary() },
        { std::nullopt, true, 0, UI::Color::secondary() },
    };
    EXPECT_EQ(color(NovikSeverities::forRemaining(37)), NovikPalette::watch());
    for (auto const& test : cases) {
        auto summary = bareSummary();
        summary.remainingPercent = test.remaining;
        summary.forecastState = TavvoWidgetForecastState::exhaustsBeforeReset;
        WidgetCodexAnalyticsSummary const view(summary, now, test.stale);
        auto const meter = view.meter();
        auto const what = describe(test.remaining) + (test.stale ? " stale" : " fresh");
        EXPECT_DOUBLE_EQ(meter.progress(), test.progress) << what;
        EXPECT_EQ(meter.tint(), test.tint) << what;
        EXPECT_EQ(meter.height(), NovikMetrics::meterRegular) << what;
    }
}

// Metrics and the block as a whole

TEST_F(WidgetCodexAnalyticsSummaryKeys, BlockReadsAsOneCombinedElement)
{
    auto summary = demoSummary();
    summary.forecastState = TavvoWidgetForecastState::exhaustsBeforeReset;
    summary.predictedExhaustionAt = now + 3h;
    WidgetCodexAnalyticsSummary const view(summary, now, false);
    auto const dumps = WidgetTest::dumped(view.body(), blockWidth, blockHeight);
    EXPECT_EQ(dumps.text,
        "Demo account\n"
        "GPT-5.3-Codex-Spark · ChatGPT Pro 20×\n"
        "insights.forecast.exhausts_in[duration.hours.short[3]]\n"
        "insights.metric.tokens\n"
        "12.4insights.tokens.millions_suffix\n"
        "insights.metric.credits\n"
        "482\n");
    // One element: the meter is hidden and the rest is joined with ", ".
    EXPECT_EQ(dumps.accessibility,
        "Demo account, GPT-5.3-Codex-Spark · ChatGPT Pro 20×, "
        "insights.forecast.exhausts_in[duration.hours.short[3]], "
        "insights.metric.tokens, 12.4insights.tokens.millions_suffix, "
        "insights.metric.credits, 482\n");
    EXPECT_EQ(dumps.root.accessibility.children, UI::AccessibilityChildBehavior::combine);
    EXPECT_NE(dumps.tree.find("\"children\": \"combine\""), std::string::npos) << dumps.tree;
    EXPECT_LE(dumps.root.frame.size.height, blockHeight);
}
