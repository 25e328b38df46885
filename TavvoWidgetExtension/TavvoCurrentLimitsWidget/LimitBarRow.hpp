// LimitBarRow: one limit in a provider column: its title and remaining
// percentage, a meter, and when it resets.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/UI/View.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"

#include <string>

class LimitBarRow {
public:
    // `now` is the entry's date, which decides whether the reset names its
    // day.
    LimitBarRow(TavvoWidgetLimitSnapshot limit, Foundation::Date now);

    const TavvoWidgetLimitSnapshot& limit() const { return m_limit; }

    // The one label the row reads as: title, percentage, reset, joined by
    // ". " (absent parts left out).
    std::string accessibilityLabel() const;

    UI::View body() const;

private:
    TavvoWidgetLimitSnapshot m_limit;
    Foundation::Date m_now;
};
