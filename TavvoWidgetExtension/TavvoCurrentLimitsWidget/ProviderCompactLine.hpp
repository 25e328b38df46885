// ProviderCompactLine: a provider in the small layout: short name and the
// binding limit's remaining percentage, a meter, and one line of detail.
#pragma once

#include "Platform/UI/View.hpp"
#include "TavvoShared/NovikDesign/NovikMeter.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/Freshness.hpp"

#include <string>

class ProviderCompactLine {
public:
    ProviderCompactLine(TavvoWidgetProviderSnapshot provider, Freshness freshness);

    const TavvoWidgetProviderSnapshot& provider() const { return m_provider; }
    bool stale() const { return m_freshness == Freshness::stale; }

    // Fresh data, or the last-known values of claude.
    bool valuesShown() const;
    // The binding limit's percentage text, or "—".
    std::string percentageText() const;
    NovikMeter meter() const;
    // Which limit binds and when it resets, or why nothing is shown.
    std::string detailLine() const;
    // Long provider name, percentage text and detail line, as one label.
    std::string accessibilityLabel() const;

    UI::View body() const;

private:
    TavvoWidgetProviderSnapshot m_provider;
    Freshness m_freshness;
};
