// Lengths of time as short texts: the length of a limit window, a number
// of minutes in its largest whole unit, and the time left until a moment.
// Units are never mixed except in the countdown, and nothing rounds up.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace L10n {

// `minutes` in the largest unit that divides it exactly:
//   durationLabel(2880min) reads "2d", durationLabel(120min) "2h",
//   durationLabel(90min) "90m", durationLabel(0min) "0d",
//   durationLabel(-60min) "-1h".
std::string durationLabel(std::chrono::minutes minutes);

// The name of a limit window: the fallback when the length is unknown;
// 1, 5 and 24 hours for the hour, five-hour and one-day windows (a day
// window is named in hours); the week for 10080 minutes; otherwise as
// `durationLabel`.
std::string windowLabel(std::optional<std::chrono::minutes> minutes, std::string_view fallback);

// The time from `now` until `until`, in whole units truncated toward zero:
// "1d 3h" or "2d" from a day on, "1h 5m" or "3h" from an hour on, otherwise
// minutes, at least 1 (a moment already past reads as 1 minute). `until`
// is taken in whole seconds since the epoch, truncated toward zero, so a
// reset at 12:00:00.7 reads like one at 12:00:00. Nothing when `until` is
// nothing.
//   countdown(12:00:00, 10:55:00) reads "1h 5m"
//   countdown(12:00:00.7, 11:00:00.2) reads "59m"
std::optional<std::string> countdown(std::optional<Foundation::Date> until, Foundation::Date now);

}
