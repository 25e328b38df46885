// ProviderSummaryColumns: the first two providers side by side, a divider
// between them.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/UI/View.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

#include <cstdint>
#include <vector>

class ProviderSummaryColumns {
public:
    // `now` judges each provider's freshness; `maxLimits` (at least 0) caps
    // the rows of each column.
    ProviderSummaryColumns(std::vector<TavvoWidgetProviderSnapshot> providers, Foundation::Date now, std::int64_t maxLimits);

    const std::vector<TavvoWidgetProviderSnapshot>& providers() const { return m_providers; }
    Foundation::Date now() const { return m_now; }
    std::int64_t maxLimits() const { return m_maxLimits; }

    UI::View body() const;

private:
    std::vector<TavvoWidgetProviderSnapshot> m_providers;
    Foundation::Date m_now;
    std::int64_t m_maxLimits;
};
