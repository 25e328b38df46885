#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/WidgetCodexAnalyticsSummary.hpp"
#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

namespace {

using namespace WidgetTest;
using State = TavvoWidgetForecastState;

constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();

// Value-initialised summaries have nothing optional and a forecast still
// collecting.
CodexAnalyticsSummary withForecast(State state, std::optional<Foundation::Date> exhaustion = std::nullopt)
{
    CodexAnalyticsSummary summary {};
    summary.forecastState = state;
    summary.predictedExhaustionAt = exhaustion;
    summary.remainingPercent = 37;
    return summary;
}

std::string tokensText(std::int64_t tokens)
{
    CodexAnalyticsSummary summary {};
    summary.weeklyTokens = tokens;
    return WidgetCodexAnalyticsSummary(summary, now, Freshness::fresh).tokensValue();
}

using WidgetCodexAnalyticsSummaryKeys = KeysInEnglish;

}

TEST_F(WidgetCodexAnalyticsSummaryKeys, TokensPickTheirBranchOnTheIntegerAndDivideExactly)
{
    std::string const k = "insights.tokens.thousands_suffix";
    std::string const m = "insights.tokens.millions_suffix";
    std::pair<std::int64_t, std::string> const cases[] = {
        { 999, "999" },
        { int64Min, "-9,223,372,036,854,775,808" },
        { 1'000, "1" + k },
        // Half to even on the exact decimal; binary floating point would
        // put 1.05 above the tie and 1.15 below it.
        { 1'050, "1" + k },
        { 1'150, "1.2" + k },
        // The branch is picked on the integer, so this stays in thousands.
        { 999'999, "1,000" + k },
        { 1'000'000, "1" + m },
        { int64Max, "9,223,372,036,854.8" + m },
    };
    for (auto const& [tokens, expected] : cases)
        EXPECT_EQ(tokensText(tokens), expected) << tokens;

    // The languages' own suffixes and decimal marks (keys mode is off here).
    std::tuple<std::string, std::int64_t, std::string> const spoken[] = {
        { "ru", 12'345, "12,3К" },
        { "zh-Hans", 2'560'000, "2.6M" },
    };
    for (auto const& [code, tokens, expected] : spoken) {
        ScopedLanguage const scoped(code);
        EXPECT_EQ(tokensText(tokens), expected) << code;
    }
}

TEST_F(WidgetCodexAnalyticsSummaryKeys, CreditsShowAtMostOneFractionDigitOrTheDash)
{
    std::pair<std::optional<std::string>, std::string> const cases[] = {
        { std::nullopt, "—" },
        { "0.25", "0.2" },
        { "-3.75", "-3.8" },
    };
    for (auto const& [credits, expected] : cases) {
        CodexAnalyticsSummary summary {};
        if (credits)
            summary.weeklyCredits = Foundation::Decimal::fromString(*credits).value();
        EXPECT_EQ(WidgetCodexAnalyticsSummary(summary, now, Freshness::fresh).creditsValue(), expected) << credits.value_or("absent");
    }
}

// Stale data overrides every state: the sentence's colour and the meter.
TEST_F(WidgetCodexAnalyticsSummaryKeys, ForecastColorAndMeterByStateAndStaleness)
{
    auto const primary = UI::Color::primary();
    std::pair<State, UI::Color> const cases[] = {
        { State::collecting, primary },
        { State::lastsUntilReset, primary },
        { State::stale, primary },
        // Whether or not the exhaustion time is known.
        { State::exhaustsBeforeReset, NovikPalette::tight() },
    };
    for (auto const& [state, color] : cases) {
        EXPECT_EQ(WidgetCodexAnalyticsSummary(withForecast(state), now, Freshness::fresh).forecastColor(), color) << Foundation::rawValue(state);
        WidgetCodexAnalyticsSummary const stale(withForecast(state, now + 3h), now, Freshness::stale);
        EXPECT_EQ(stale.forecastColor(), UI::Color::secondary()) << Foundation::rawValue(state);
        // Stale: an empty meter in the secondary colour, whatever remains,
        // which is no gauge.
        EXPECT_EQ(stale.meter().progress(), 0);
        EXPECT_EQ(stale.meter().tint(), UI::Color::secondary());
        EXPECT_EQ(stale.gauge(), std::nullopt);
    }
}

TEST_F(WidgetCodexAnalyticsSummaryKeys, TitleIsTheLabelEvenWhenEmptyAndSubtitleJoinsQuotaThenPlan)
{
    using Text = std::optional<std::string>;
    std::tuple<Text, Text, Text, std::string, Text> const cases[] = {
        { std::nullopt, std::nullopt, std::nullopt, "insights.overview.title", std::nullopt },
        { "", std::nullopt, "ChatGPT Pro", "", "ChatGPT Pro" },
        { "Demo account", "Spark", std::nullopt, "Demo account", "Spark" },
        { std::nullopt, "Spark", "ChatGPT Pro", "insights.overview.title", "Spark · ChatGPT Pro" },
        // Empty texts stay in the join; only an empty join is left out.
        { std::nullopt, "", "", "insights.overview.title", " · " },
        { std::nullopt, "", std::nullopt, "insights.overview.title", std::nullopt },
    };
    for (auto const& [label, quota, plan, title, subtitle] : cases) {
        CodexAnalyticsSummary summary {};
        summary.accountLabel = label;
        summary.quotaTitle = quota;
        summary.planTitle = plan;
        WidgetCodexAnalyticsSummary const view(summary, now, Freshness::fresh);
        SCOPED_TRACE(quota.value_or("(absent)") + " / " + plan.value_or("(absent)"));
        EXPECT_EQ(view.titleLine(), title);
        EXPECT_EQ(view.subtitleLine(), subtitle);
    }
}

TEST_F(WidgetCodexAnalyticsSummaryKeys, BlockReadsAsOneCombinedElement)
{
    CodexAnalyticsSummary const summary { .accountLabel = "Demo account", .planTitle = "ChatGPT Pro 20×",
        .quotaTitle = "GPT-5.3-Codex-Spark", .forecastState = State::exhaustsBeforeReset, .predictedExhaustionAt = now + 3h,
        .resetAt = now + 3h, .remainingPercent = 81, .forecastObservedAt = now - 1min, .weeklyTokens = 12'400'000,
        .weeklyCredits = Foundation::Decimal::fromInteger(482) };
    auto const dumps = dumped(WidgetCodexAnalyticsSummary(summary, now, Freshness::fresh).body(), 332, 120);
    // One combined element joining the texts with ", ", and the meter a
    // gauge beside it, described by the forecast.
    EXPECT_EQ(dumps.accessibility,
        "Demo account, GPT-5.3-Codex-Spark · ChatGPT Pro 20×, insights.forecast.exhausts_in[duration.hours.short[3]], "
        "insights.metric.tokens, 12.4insights.tokens.millions_suffix, insights.metric.credits, 482\n"
        "[gauge 81/100] Demo account, GPT-5.3-Codex-Spark · ChatGPT Pro 20×: insights.forecast.exhausts_in[duration.hours.short[3]]\n");
}
