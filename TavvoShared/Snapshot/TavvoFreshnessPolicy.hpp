// TavvoFreshnessPolicy: when an observation still counts as fresh.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <optional>
#include <vector>

namespace TavvoFreshnessPolicy {

// Fifteen minutes.
inline constexpr Foundation::TimeInterval defaultTTL = 900;

// True when the observation exists, is not from the future, and `at` is
// strictly before `observedAt` + `ttl`. A ttl of zero or less, or NaN, is
// never fresh.
bool isFresh(std::optional<Foundation::Date> observedAt, Foundation::Date at, Foundation::TimeInterval ttl);

// The end of the fresh window: the earliest of `observedAt` + `ttl` and
// every reset date (earlier ones included, first of equals). Nothing
// without an observation.
//   freshUntil(t, {t + 5min, t + 2h}, defaultTTL) == t + 5min
std::optional<Foundation::Date> freshUntil(std::optional<Foundation::Date> observedAt,
    const std::vector<Foundation::Date>& limitResetDates, Foundation::TimeInterval ttl);

}
