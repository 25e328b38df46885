#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumns.hpp"

#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumn.hpp"

ProviderSummaryColumns::ProviderSummaryColumns(std::vector<TavvoWidgetProviderSnapshot> providers, Foundation::Date now, std::int64_t maxLimits)
    : m_providers(std::move(providers))
    , m_now(now)
    , m_maxLimits(maxLimits)
{
}

UI::View ProviderSummaryColumns::body() const
{
    // Only the first two providers are shown; a divider only between two.
    std::vector<UI::View> children;
    auto const column = [this](const TavvoWidgetProviderSnapshot& provider) {
        return ProviderSummaryColumn(provider, freshness(provider, m_now), m_maxLimits).body();
    };
    if (!m_providers.empty())
        children.push_back(column(m_providers[0]));
    if (m_providers.size() >= 2) {
        children.push_back(UI::divider());
        children.push_back(column(m_providers[1]));
    }
    return UI::hstack(UI::VerticalAlignment::top, NovikMetrics::section, std::move(children));
}
