// Internet date-time texts at whole-second precision:
// "2026-01-31T09:05:00Z" or "2026-01-31T10:05:00+01:00".
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// Reads exactly YYYY-MM-DDTHH:MM:SS followed by "Z" or ±HH:MM. Anything else
// is nothing: fractional seconds, a missing zone, lower-case separators,
// extra text, a day that does not exist (02-30), a leap second.
//   parseInternetDateTime("2026-01-31T10:05:00+01:00") == parseInternetDateTime("2026-01-31T09:05:00Z")
std::optional<Date> parseInternetDateTime(std::string_view text);

// The UTC text with "Z", any sub-second part dropped (rounded down). Nothing
// when the UTC year is outside 0000–9999, which four digits cannot write.
std::optional<std::string> formatInternetDateTime(Date date);

}
