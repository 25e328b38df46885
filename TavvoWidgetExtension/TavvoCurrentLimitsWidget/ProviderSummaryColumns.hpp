// ProviderSummaryColumns: the first two providers side by side, a divider
// between them.
#pragma once

#include "Platform/UI/View.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include <cstdint>
#include <vector>

class ProviderSummaryColumns {
public:
    // `maxLimits` (at least 0) caps the rows of each column; `now` is the
    // entry's date.
    ProviderSummaryColumns(std::vector<TavvoWidgetPresentation::Provider> providers, std::int64_t maxLimits, Foundation::Date now);

    const std::vector<TavvoWidgetPresentation::Provider>& providers() const { return m_providers; }
    std::int64_t maxLimits() const { return m_maxLimits; }

    UI::View body() const;

private:
    std::vector<TavvoWidgetPresentation::Provider> m_providers;
    std::int64_t m_maxLimits;
    Foundation::Date m_now;
};
