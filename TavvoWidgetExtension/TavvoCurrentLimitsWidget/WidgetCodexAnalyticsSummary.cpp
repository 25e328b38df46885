#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/WidgetCodexAnalyticsSummary.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/NumberFormatting.hpp"
#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/WidgetAnalyticsMetric.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <utility>
#include <vector>

namespace {

constexpr std::string_view subtitleSeparator = " · ";
constexpr std::string_view missingValue = "—";
constexpr double dividerHeight = 24;

// `tokens` / 10^digits with at most one fraction digit, then the suffix.
// The division shifts the decimal exponent, so it is exact; a 64-bit
// integer has at most 19 digits, far inside the exponent range, so the
// shift always succeeds (the plain integer text stands in if it did not).
std::string shortenedTokens(std::int64_t tokens, std::int64_t digits, std::string_view suffixKey)
{
    auto const scaled = Foundation::Decimal::fromInteger(tokens).scaledByPowerOfTen(-digits);
    auto const number = scaled ? L10n::localizedDecimal(*scaled, 1) : L10n::localizedInteger(tokens);
    return number + L10n::tr(suffixKey);
}

}

WidgetCodexAnalyticsSummary::WidgetCodexAnalyticsSummary(CodexAnalyticsSummary summary, Foundation::Date now, Freshness freshness)
    : m_summary(std::move(summary))
    , m_now(now)
    , m_freshness(freshness)
{
}

std::string WidgetCodexAnalyticsSummary::titleLine() const
{
    // An empty label is still the account's label.
    if (m_summary.accountLabel)
        return *m_summary.accountLabel;
    return L10n::tr("insights.overview.title");
}

std::optional<std::string> WidgetCodexAnalyticsSummary::subtitleLine() const
{
    std::vector<std::string_view> parts;
    for (auto const* part : { &m_summary.quotaTitle, &m_summary.planTitle }) {
        if (*part)
            parts.push_back(**part);
    }
    auto joined = fmt::format("{}", fmt::join(parts, subtitleSeparator));
    if (joined.empty())
        return std::nullopt;
    return joined;
}

UI::Color WidgetCodexAnalyticsSummary::forecastColor() const
{
    if (stale())
        return UI::Color::secondary();
    if (m_summary.forecastState == TavvoWidgetForecastState::exhaustsBeforeReset)
        return color(NovikSeverity::tight);
    return UI::Color::primary();
}

NovikMeter WidgetCodexAnalyticsSummary::meter() const
{
    if (stale())
        return NovikMeter(0.0, UI::Color::secondary(), NovikMetrics::meterRegular);
    auto const remaining = m_summary.remainingPercent;
    // Not clamped: the meter tolerates progress outside [0, 1] when drawn.
    double const progress = remaining ? static_cast<double>(*remaining) / 100.0 : 0.0;
    return NovikMeter(progress, color(NovikSeverities::forRemaining(remaining)), NovikMetrics::meterRegular);
}

std::optional<UI::AccessibilityGauge> WidgetCodexAnalyticsSummary::gauge() const
{
    if (stale() || !m_summary.remainingPercent)
        return std::nullopt;
    auto label = titleLine();
    if (auto subtitle = subtitleLine())
        label += ", " + *subtitle;
    return UI::AccessibilityGauge {
        .label = std::move(label),
        .value = static_cast<double>(*m_summary.remainingPercent),
        .description = forecastSentence(m_summary, m_now, m_freshness),
    };
}

std::string WidgetCodexAnalyticsSummary::tokensValue() const
{
    // Compared on the integer, before dividing: 999,999 stays in the
    // thousands even though it reads as 1000 there.
    auto const tokens = m_summary.weeklyTokens;
    if (tokens < 1'000)
        return L10n::localizedInteger(tokens);
    if (tokens < 1'000'000)
        return shortenedTokens(tokens, 3, "insights.tokens.thousands_suffix");
    return shortenedTokens(tokens, 6, "insights.tokens.millions_suffix");
}

std::string WidgetCodexAnalyticsSummary::creditsValue() const
{
    if (!m_summary.weeklyCredits)
        return std::string(missingValue);
    return L10n::localizedDecimal(*m_summary.weeklyCredits, 1);
}

UI::View WidgetCodexAnalyticsSummary::metricsRow() const
{
    WidgetAnalyticsMetric const tokens(L10n::tr("insights.metric.tokens"), tokensValue());
    WidgetAnalyticsMetric const credits(L10n::tr("insights.metric.credits"), creditsValue());
    return UI::hstack(UI::VerticalAlignment::center, NovikMetrics::loose,
        {
            tokens.body(),
            UI::divider().frame({ .height = dividerHeight }),
            credits.body(),
            UI::spacer(0),
        });
}

UI::View WidgetCodexAnalyticsSummary::body() const
{
    std::vector<UI::View> titles {
        UI::text(titleLine())
            .font(UI::TextStyle::headline)
            .lineLimit(1),
    };
    // The forecast is the point of the block, and in some languages it is
    // long: it keeps its whole width, and the quota and plan titles wrap
    // onto a second line rather than cutting either short.
    if (auto subtitle = subtitleLine())
        titles.push_back(UI::text(std::move(*subtitle))
                .font(UI::TextStyle::caption)
                .foregroundColor(UI::Color::secondary())
                .lineLimit(2));

    auto const header = UI::hstack(UI::VerticalAlignment::firstTextBaseline, NovikMetrics::regular,
        {
            UI::vstack(UI::HorizontalAlignment::leading, 1, std::move(titles)),
            UI::spacer(NovikMetrics::regular),
            UI::text(forecastSentence(m_summary, m_now, m_freshness))
                .font(UI::TextStyle::callout)
                .fontWeight(UI::FontWeight::semibold)
                .foregroundColor(forecastColor())
                .lineLimit(1)
                .fixedSize(UI::Axes::horizontal),
        });

    auto const meterGauge = gauge();

    return UI::vstack(UI::HorizontalAlignment::leading, NovikMetrics::regular,
        {
            header,
            meterGauge ? meter().body(*meterGauge) : meter().body(),
            metricsRow(),
        })
        .accessibilityElement(UI::AccessibilityChildBehavior::combine);
}
