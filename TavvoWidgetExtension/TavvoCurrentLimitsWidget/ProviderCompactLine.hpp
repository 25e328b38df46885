// ProviderCompactLine: a provider in the small layout: short name and the
// binding limit's remaining percentage, a meter, and one line of detail.
#pragma once

#include "Platform/UI/View.hpp"
#include "TavvoShared/NovikDesign/NovikMeter.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include <string>

class ProviderCompactLine {
public:
    // `now` is the entry's date, which decides whether the reset names its
    // day.
    ProviderCompactLine(TavvoWidgetPresentation::Provider provider, Foundation::Date now);

    const TavvoWidgetPresentation::Provider& provider() const { return m_provider; }

    // The binding limit's percentage text, or "—".
    std::string percentageText() const;
    NovikMeter meter() const;
    // Which limit binds and when it resets, or why nothing is shown.
    std::string detailLine() const;
    // Long provider name, percentage text and detail line, as one label.
    std::string accessibilityLabel() const;

    UI::View body() const;

private:
    TavvoWidgetPresentation::Provider m_provider;
    Foundation::Date m_now;
};
