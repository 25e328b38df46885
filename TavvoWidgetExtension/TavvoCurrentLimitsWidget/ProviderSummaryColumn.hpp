// ProviderSummaryColumn: one provider in the wider layouts: its name, the
// title of its snapshot, then its limit rows or the reason there are none.
#pragma once

#include "Platform/UI/View.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/Freshness.hpp"

#include <cstdint>

class ProviderSummaryColumn {
public:
    // `maxLimits` is at least 0; the caller guarantees it.
    ProviderSummaryColumn(TavvoWidgetProviderSnapshot provider, Freshness freshness, std::int64_t maxLimits);

    const TavvoWidgetProviderSnapshot& provider() const { return m_provider; }
    bool stale() const { return m_freshness == Freshness::stale; }
    std::int64_t maxLimits() const { return m_maxLimits; }

    // Whether the column lists limit rows rather than the status message.
    bool showsLimits() const;

    UI::View body() const;

private:
    TavvoWidgetProviderSnapshot m_provider;
    Freshness m_freshness;
    std::int64_t m_maxLimits;
};
