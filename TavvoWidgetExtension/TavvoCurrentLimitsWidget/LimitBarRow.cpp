#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitBarRow.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoShared/NovikDesign/NovikMeter.hpp"
#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitGauge.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include <fmt/ranges.h>

#include <vector>

LimitBarRow::LimitBarRow(TavvoWidgetLimitSnapshot limit, Foundation::Date now, std::string providerTitle)
    : m_limit(std::move(limit))
    , m_now(now)
    , m_providerTitle(std::move(providerTitle))
{
}

std::string LimitBarRow::accessibilityLabel() const
{
    // An untitled limit is read from its percentage on.
    std::vector<std::string> parts;
    if (!m_limit.title.empty())
        parts.push_back(m_limit.title);
    if (auto standing = limitStanding(m_limit, m_now); !standing.empty())
        parts.push_back(std::move(standing));

    return fmt::to_string(fmt::join(parts, ". "));
}

UI::View LimitBarRow::body() const
{
    // The percentage, or the dash (a key that reads as itself) when the
    // writer does not know it.
    auto const percentage = m_limit.remainingPercent
        ? UI::text(L10n::percentRemaining(*m_limit.remainingPercent))
              .font(UI::TextStyle::caption2)
              .fontWeight(UI::FontWeight::semibold)
              .monospacedDigit()
              .foregroundColor(UI::Color::primary())
              .lineLimit(1)
              .minimumScaleFactor(0.8)
        : UI::text(L10n::tr("—"))
              .font(UI::TextStyle::caption2)
              .fontWeight(UI::FontWeight::semibold)
              .foregroundColor(UI::Color::secondary());

    auto const header = UI::hstack(UI::VerticalAlignment::firstTextBaseline, NovikMetrics::snug,
        {
            UI::text(m_limit.title)
                .font(UI::TextStyle::caption2)
                .foregroundColor(UI::Color::secondary())
                .lineLimit(1),
            UI::spacer(0),
            percentage,
        });

    // The reset line, only when the limit says when it resets.
    auto const reset = limitResetTexts(m_limit, m_now);
    auto const resetLine = reset
        ? UI::hstack(UI::VerticalAlignment::center, NovikMetrics::tight,
              {
                  UI::text(reset->label),
                  UI::text(reset->instant),
              })
              .font(UI::TextStyle::caption2)
              .foregroundColor(UI::Color::tertiary())
        : UI::View();

    NovikMeter const meter(m_limit.remainingPercent, NovikMetrics::meterCompact);
    auto const gauge = limitGauge(m_providerTitle, m_limit, m_now);

    return UI::vstack(UI::HorizontalAlignment::leading, NovikMetrics::tight,
        {
            header,
            gauge ? meter.body(*gauge) : meter.body(),
            resetLine,
        })
        .accessibilityElement(UI::AccessibilityChildBehavior::ignore)
        .accessibilityLabel(accessibilityLabel());
}
