// LimitBarRow: one limit in a provider column: its title and remaining
// percentage, a meter (a gauge for screen readers, named with the
// provider's title), and when it resets.
#pragma once

#include "Platform/UI/View.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"

#include <string>

class LimitBarRow {
public:
    LimitBarRow(TavvoWidgetLimitSnapshot limit, std::string providerTitle);

    const TavvoWidgetLimitSnapshot& limit() const { return m_limit; }

    // The one label the row reads as: title, percentage, reset, joined by
    // ". " (absent parts left out).
    std::string accessibilityLabel() const;

    UI::View body() const;

private:
    TavvoWidgetLimitSnapshot m_limit;
    std::string m_providerTitle;
};
