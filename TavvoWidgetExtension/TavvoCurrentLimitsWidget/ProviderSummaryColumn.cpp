#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumn.hpp"

#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitBarRow.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderStatusMessages.hpp"

#include <algorithm>
#include <vector>

namespace {

// Rows drawn at this opacity while the data is stale.
constexpr double staleRowOpacity = 0.6;

}

ProviderSummaryColumn::ProviderSummaryColumn(TavvoWidgetPresentation::Provider provider, std::int64_t maxLimits, Foundation::Date now)
    : m_provider(std::move(provider))
    , m_maxLimits(maxLimits)
    , m_now(now)
{
}

UI::View ProviderSummaryColumn::body() const
{
    auto const& record = m_provider.record;
    bool const stale = m_provider.stale();
    auto const& look = appearance(record.id);

    auto const header = UI::hstack(UI::VerticalAlignment::center, NovikMetrics::snug,
        {
            UI::circle().fill(look.color).frame({ .width = 7, .height = 7 }),
            UI::text(look.displayTitle)
                .font(UI::TextStyle::caption2)
                .fontWeight(UI::FontWeight::semibold)
                .kerning(0.4)
                .foregroundColor(UI::Color::secondary())
                .lineLimit(1),
            UI::spacer(0),
        });

    auto const title = UI::text(record.title)
                           .font(UI::TextStyle::callout)
                           .fontWeight(UI::FontWeight::semibold)
                           .foregroundColor(UI::Color::primary())
                           .lineLimit(1);

    UI::View below;
    if (m_provider.showsLimits()) {
        // The first maxLimits limits as stored; a negative cap (which the
        // caller rules out) shows none.
        auto const count = static_cast<std::size_t>(std::clamp<std::int64_t>(m_maxLimits, 0,
            static_cast<std::int64_t>(record.limits.size())));
        std::vector<UI::View> rows;
        rows.reserve(count + 1);
        for (std::size_t index = 0; index < count; ++index)
            rows.push_back(LimitBarRow(record.limits[index], m_now, record.title).body().opacity(stale ? staleRowOpacity : 1.0));
        if (stale)
            rows.push_back(UI::text(lastKnownMessage(record))
                               .font(UI::TextStyle::caption2)
                               .foregroundColor(UI::Color::secondary()));
        below = UI::vstack(UI::HorizontalAlignment::leading, NovikMetrics::regular, std::move(rows));
    } else {
        below = UI::text(statusMessage(record, m_provider.freshness))
                    .font(UI::TextStyle::caption)
                    .foregroundColor(UI::Color::secondary())
                    .lineLimit(3)
                    .fixedSize(UI::Axes::vertical);
    }

    return UI::vstack(UI::HorizontalAlignment::leading, NovikMetrics::regular, { header, title, below })
        .frame({ .maxWidth = UI::infinity }, UI::Alignment::topLeading);
}
