// ProviderSummaryColumn: one provider in the wider layouts: its name, the
// title of its snapshot, then its limit rows or the reason there are none.
#pragma once

#include "Platform/UI/View.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include <cstdint>

class ProviderSummaryColumn {
public:
    // `maxLimits` is at least 0; the caller guarantees it. `now` is the
    // entry's date, which the rows tell their resets from.
    ProviderSummaryColumn(TavvoWidgetPresentation::Provider provider, std::int64_t maxLimits, Foundation::Date now);

    const TavvoWidgetPresentation::Provider& provider() const { return m_provider; }
    std::int64_t maxLimits() const { return m_maxLimits; }

    UI::View body() const;

private:
    TavvoWidgetPresentation::Provider m_provider;
    std::int64_t m_maxLimits;
    Foundation::Date m_now;
};
