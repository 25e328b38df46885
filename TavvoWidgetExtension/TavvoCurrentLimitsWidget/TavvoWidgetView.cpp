#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetView.hpp"

#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoShared/NovikDesign/NovikWordmark.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderCompactLine.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumns.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/WidgetCodexAnalyticsSummary.hpp"

namespace {

using WidgetKit::WidgetFamily;

constexpr double backgroundGradientHeight = 96;
constexpr double badgeVerticalPadding = 3;

UI::View staleBadge()
{
    auto const& watch = color(NovikSeverity::watch);
    return UI::text(L10n::tr("widget.stale"))
        .font(UI::TextStyle::caption2)
        .fontWeight(UI::FontWeight::semibold)
        .foregroundColor(watch)
        .padding(UI::Edges::horizontal, NovikMetrics::snug)
        .padding(UI::Edges::vertical, badgeVerticalPadding)
        .background(UI::capsule().fill(watch.opacity(0.14)));
}

// The window background with a faint wash from the top edge.
UI::View containerBackground()
{
    auto const wash = UI::linearGradient(
        { { UI::Color::primary().opacity(0.05), 0 }, { UI::Color::primary().opacity(0), 1 } }, UI::UnitPoint::top, UI::UnitPoint::bottom)
                          .frame({ .height = backgroundGradientHeight });
    return UI::rectangle().fill(UI::Color::windowBackground()).overlay(wash, UI::Alignment::top);
}

}

TavvoWidgetView::TavvoWidgetView(WidgetFamily family, TavvoWidgetEntry entry)
    : m_family(family)
    , m_entry(std::move(entry))
    , m_presentation(m_entry)
{
}

UI::View TavvoWidgetView::header(HeaderStyle style) const
{
    auto const wordmark = style == HeaderStyle::compact
        ? NovikWordmark(14, { .style = UI::TextStyle::subheadline, .weight = UI::FontWeight::semibold })
        : NovikWordmark(17, { .style = UI::TextStyle::headline, .weight = std::nullopt });
    return UI::hstack(UI::VerticalAlignment::center, NovikMetrics::regular,
        { wordmark.body(), UI::spacer(0), m_presentation.anyFresh() ? UI::View() : staleBadge() });
}

UI::View TavvoWidgetView::familyLayout(const TavvoWidgetSnapshot& snapshot) const
{
    auto const& providers = m_presentation.providers();
    std::vector<UI::View> children;
    double spacing = NovikMetrics::loose;
    switch (m_family) {
    case WidgetFamily::systemSmall:
        children.push_back(header(HeaderStyle::compact));
        for (auto const& provider : providers)
            children.push_back(ProviderCompactLine(provider, m_entry.date).body());
        break;
    case WidgetFamily::systemLarge:
    case WidgetFamily::systemExtraLarge: {
        spacing = NovikMetrics::section;
        children.push_back(header(HeaderStyle::regular));
        if (snapshot.codexAnalytics) {
            auto const freshness = m_presentation.analyticsStale() ? Freshness::stale : Freshness::fresh;
            children.push_back(WidgetCodexAnalyticsSummary(*snapshot.codexAnalytics, m_entry.date, freshness).body());
        }
        std::int64_t const maxLimits = m_family == WidgetFamily::systemExtraLarge ? 3 : 2;
        children.push_back(ProviderSummaryColumns(providers, maxLimits, m_entry.date).body());
        break;
    }
    case WidgetFamily::systemMedium:
    default:
        children.push_back(header(HeaderStyle::regular));
        children.push_back(ProviderSummaryColumns(providers, 2, m_entry.date).body());
        break;
    }
    children.push_back(UI::spacer(0));
    if (m_family == WidgetFamily::systemLarge || m_family == WidgetFamily::systemExtraLarge) {
        children.push_back(UI::hstack(UI::VerticalAlignment::center, NovikMetrics::tight,
            { UI::text(L10n::tr("widget.updated")), UI::text(L10n::shortTime(*m_presentation.updatedAt())) })
                               .font(UI::TextStyle::caption2)
                               .foregroundColor(UI::Color::tertiary()));
    }
    return UI::vstack(UI::HorizontalAlignment::leading, spacing, std::move(children)).padding(NovikMetrics::section);
}

UI::View TavvoWidgetView::emptyState() const
{
    auto const message = m_entry.errorText ? *m_entry.errorText : L10n::tr("widget.open_once");
    return UI::vstack(UI::HorizontalAlignment::leading, NovikMetrics::regular,
        {
            header(HeaderStyle::regular),
            UI::text(message).font(UI::TextStyle::callout).fontWeight(UI::FontWeight::semibold),
            UI::text(L10n::tr("widget.empty_explanation")).font(UI::TextStyle::caption).foregroundColor(UI::Color::secondary()),
            UI::spacer(0),
        })
        .padding(NovikMetrics::section);
}

WidgetKit::WidgetContent TavvoWidgetView::body() const
{
    auto const content = m_entry.snapshot ? familyLayout(*m_entry.snapshot) : emptyState();
    return WidgetKit::WidgetContent(content).widgetURL(TavvoWidgetConstants::openURL()).containerBackground(containerBackground());
}
