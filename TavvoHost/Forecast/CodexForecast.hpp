// The weekly forecast: at the pace of the window so far, does the quota
// last until the window resets?
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/UsageWindow.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetForecastState.hpp"

#include <optional>

namespace TavvoHost {

struct CodexForecast {
    TavvoWidgetForecastState state;
    std::optional<Foundation::Date> predictedExhaustionAt; // only when it runs out before the reset

    friend bool operator==(const CodexForecast&, const CodexForecast&) = default;
};

// The window starts at its reset minus its length (it re-anchors at the
// first use after a reset, so no calendar date is involved). While less
// than an hour of it has passed at `observedAt`, or nothing is used yet,
// there is no pace to speak of: collecting. Otherwise the quota runs out
// at start + (observedAt − start) × 100 / used: before the reset that is
// exhaustsBeforeReset at that instant, else lastsUntilReset. A window
// without a length, a reset or a used share is collecting too.
CodexForecast forecastWeeklyWindow(const UsageWindow& weekly, Foundation::Date observedAt);

}
