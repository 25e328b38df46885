#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumns.hpp"

#include "TavvoShared/NovikDesign/NovikMetrics.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderSummaryColumn.hpp"

ProviderSummaryColumns::ProviderSummaryColumns(std::vector<TavvoWidgetPresentation::Provider> providers, std::int64_t maxLimits, Foundation::Date now)
    : m_providers(std::move(providers))
    , m_maxLimits(maxLimits)
    , m_now(now)
{
}

UI::View ProviderSummaryColumns::body() const
{
    // Only the first two providers are shown; a divider only between two.
    std::vector<UI::View> children;
    auto const column = [this](const TavvoWidgetPresentation::Provider& provider) {
        return ProviderSummaryColumn(provider, m_maxLimits, m_now).body();
    };
    if (!m_providers.empty())
        children.push_back(column(m_providers[0]));
    if (m_providers.size() >= 2) {
        children.push_back(UI::divider());
        children.push_back(column(m_providers[1]));
    }
    return UI::hstack(UI::VerticalAlignment::top, NovikMetrics::section, std::move(children));
}
