#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderCompactLine.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitGauge.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderStatusMessages.hpp"

namespace {

// The missing value, used as is (not looked up).
constexpr std::string_view emDash = "—";

// The accessibility format: three texts joined by ". ".
constexpr std::string_view labelFormatKey = "%1$s. %2$s. %3$s";

}

ProviderCompactLine::ProviderCompactLine(TavvoWidgetPresentation::Provider provider, Foundation::Date now)
    : m_provider(std::move(provider))
    , m_now(now)
{
}

std::string ProviderCompactLine::percentageText() const
{
    if (auto const binding = m_provider.shownBinding(); binding && binding->remainingPercent)
        return L10n::percentRemaining(*binding->remainingPercent);
    return std::string(emDash);
}

NovikMeter ProviderCompactLine::meter() const
{
    // Fresh values are always shown, so the severity tint reads the shown
    // binding limit; stale ones are tinted secondary even when shown.
    auto const binding = m_provider.shownBinding();
    auto const remaining = binding ? binding->remainingPercent : std::nullopt;
    auto const progress = remaining ? static_cast<double>(*remaining) / 100.0 : 0.0;
    auto const tint = m_provider.stale() ? UI::Color::secondary() : color(NovikSeverities::forRemaining(remaining));
    return NovikMeter(progress, tint, NovikMetrics::meterCompact);
}

std::string ProviderCompactLine::detailLine() const
{
    auto const& record = m_provider.record;
    if (m_provider.stale()) {
        if (record.hasLastKnownClaudeLimits())
            return lastKnownMessage(record);
        return statusMessage(record, Freshness::stale);
    }
    auto const binding = record.bindingLimit();
    if (!binding)
        return statusMessage(record, Freshness::fresh);
    if (auto const reset = limitResetText(*binding, m_now))
        return binding->title + " · " + *reset;
    return binding->title;
}

std::string ProviderCompactLine::accessibilityLabel() const
{
    auto const title = appearance(m_provider.record.id).displayTitle;
    auto const percentage = percentageText();
    auto const detail = detailLine();
    auto label = L10n::tr(labelFormatKey, { title, percentage, detail });
    // tr gives back the bare key only when the format could not be used.
    if (label == labelFormatKey)
        return title + ". " + percentage + ". " + detail;
    return label;
}

UI::View ProviderCompactLine::body() const
{
    auto const& look = appearance(m_provider.record.id);
    // Only a binding limit whose values are shown is a gauge: otherwise the
    // track is drawn empty and says nothing about what is left.
    auto const binding = m_provider.shownBinding();
    auto const gauge = binding ? limitGauge(m_provider.record.title, *binding, m_now) : std::nullopt;

    auto const header = UI::hstack(UI::VerticalAlignment::firstTextBaseline, NovikMetrics::snug,
        {
            UI::text(look.shortTitle)
                .font(UI::TextStyle::caption)
                .fontWeight(UI::FontWeight::semibold)
                .foregroundColor(UI::Color::secondary())
                .lineLimit(1),
            UI::spacer(NovikMetrics::tight),
            UI::text(percentageText())
                .font(UI::Font { .style = UI::TextStyle::subheadline, .weight = UI::FontWeight::bold, .design = UI::FontDesign::rounded })
                .monospacedDigit()
                .foregroundColor(UI::Color::primary())
                .lineLimit(1)
                .minimumScaleFactor(0.8),
        });

    // A reset on another day makes the detail line longer than the small
    // size's width in some languages; it shrinks a little rather than lose
    // its time.
    return UI::vstack(UI::HorizontalAlignment::leading, NovikMetrics::tight,
        {
            header,
            gauge ? meter().body(*gauge) : meter().body(),
            UI::text(detailLine())
                .font(UI::TextStyle::caption2)
                .foregroundColor(UI::Color::tertiary())
                .lineLimit(1)
                .minimumScaleFactor(0.8),
        })
        .accessibilityElement(UI::AccessibilityChildBehavior::ignore)
        .accessibilityLabel(accessibilityLabel());
}
