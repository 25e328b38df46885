// LimitBarRow: one limit in a provider column: its title and remaining
// percentage, a meter (a gauge for screen readers, named with the
// provider's title), and when it resets.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/UI/View.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"

#include <string>

class LimitBarRow {
public:
    // `now` is the entry's date, which decides whether the reset names its
    // day; the meter's gauge is named with `providerTitle`.
    LimitBarRow(TavvoWidgetLimitSnapshot limit, Foundation::Date now, std::string providerTitle);

    const TavvoWidgetLimitSnapshot& limit() const { return m_limit; }

    // The one label the row reads as: title, percentage, reset, joined by
    // ". " (absent parts left out).
    std::string accessibilityLabel() const;

    UI::View body() const;

private:
    TavvoWidgetLimitSnapshot m_limit;
    Foundation::Date m_now;
    std::string m_providerTitle;
};
