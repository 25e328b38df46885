// LimitGauge: a limit's meter as a screen reader finds it: a gauge named
// after the provider and the limit, holding the share that remains, and
// saying it in the words the limit's row reads.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/UI/AccessibilityTraits.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"

#include <optional>
#include <string>

// The share left and the reset, as the limit's row reads them at the
// entry's date `now`, joined by ". " (absent parts left out): "84% left.
// Resets 15:02".
std::string limitStanding(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now);

// "Codex Plus, 5h": the limit's title under its provider's, an empty one
// left out.
std::string limitGaugeLabel(const std::string& providerTitle, const TavvoWidgetLimitSnapshot& limit);

// The gauge of `limit`'s meter shown under `providerTitle`: labelled by
// limitGaugeLabel, valued at the share left, described by limitStanding.
// Nothing when the limit has no share: a gauge always holds a value, and
// the empty track drawn then does not mean 0%
// left.
std::optional<UI::AccessibilityGauge> limitGauge(const std::string& providerTitle, const TavvoWidgetLimitSnapshot& limit,
    Foundation::Date now);
