// LimitBarRow: one limit in a provider column: its title and remaining
// percentage, a meter, and when it resets.
#pragma once

#include "Platform/UI/View.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"

#include <optional>
#include <string>

class LimitBarRow {
public:
    explicit LimitBarRow(TavvoWidgetLimitSnapshot limit);

    const TavvoWidgetLimitSnapshot& limit() const { return m_limit; }

    // "Resets 11:26", when the limit says when it resets.
    std::optional<std::string> resetText() const;

    // The one label the row reads as: title, percentage, reset, joined by
    // ". " (absent parts left out).
    std::string accessibilityLabel() const;

    UI::View body() const;

private:
    TavvoWidgetLimitSnapshot m_limit;
};
