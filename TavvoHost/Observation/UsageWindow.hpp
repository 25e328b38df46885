// UsageWindow: one limit window as a service reported it, before the
// snapshot's rounding and clamping.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <chrono>
#include <cstdint>
#include <optional>

namespace TavvoHost {

struct UsageWindow {
    // The window's length; nothing when the service did not say.
    std::optional<std::chrono::minutes> length;
    // As reported: may be below 0 or above 100; nothing when not reported.
    // Never NaN or infinite (readers drop such values).
    std::optional<double> usedPercent;
    // Nothing when not reported or outside the years 2000–9999.
    std::optional<Foundation::Date> resetsAt;

    friend bool operator==(const UsageWindow&, const UsageWindow&) = default;
};

// What is left of the window as the snapshot and the status line show it:
// 100 − used, rounded to the nearest integer and kept within 0…100;
// nothing when the used share is not known.
std::optional<std::int64_t> remainingPercent(const UsageWindow& window);

// The window lengths the services use today.
inline constexpr std::chrono::minutes fiveHourWindow { 300 };
inline constexpr std::chrono::minutes weeklyWindow { 10080 };

// The length a reported one stands for. Services round a window's length
// with a bias of a few minutes (Codex has written 299 and 10079 for the
// two windows above): within 3 minutes of fiveHourWindow or weeklyWindow
// is that window, named, ordered and forecast as it. Any other length is
// taken as reported.
std::chrono::minutes standardWindowLength(std::chrono::minutes reported);

}
