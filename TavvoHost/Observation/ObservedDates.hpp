// Instants as the services write them. Only the years 2000–9999 are
// taken: nothing earlier can be true of a live limit, and the snapshot
// cannot hold anything later. A value outside them reads as unknown.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <optional>
#include <string_view>

namespace TavvoHost {

// Unix seconds, rounded down to the second; NaN and infinities are
// nothing. The range is checked on the double, so no value can overflow.
std::optional<Foundation::Date> dateFromUnixSeconds(double seconds);

// RFC 3339 ("2026-06-01T07:31:45.190Z", "…+02:00"), its fraction of a
// second kept to the microsecond.
std::optional<Foundation::Date> dateFromTimestampText(std::string_view text);

}
