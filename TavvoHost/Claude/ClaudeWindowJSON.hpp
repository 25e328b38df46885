// One Claude limit window as JSON holds it: an object with a used share
// and a reset, the shape shared by the status-line input, our own feed
// and both shapes of the cached usage in Claude Code's settings file.
//
// Internal to the host library: the header names RapidJSON's types.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/UsageWindow.hpp"

#include <rapidjson/document.h>

#include <chrono>
#include <optional>

namespace TavvoHost {

// The instant a reset value names: Unix seconds (a number, any fraction
// dropped) or an internet date-time text ("2026-08-24T02:59:59Z", a
// fraction of a second kept). Nothing for any other value, and for an
// instant outside the years 2000–9999.
std::optional<Foundation::Date> claudeResetDate(const rapidjson::Value& value);

// `fields` read as a window of `length`: an object whose member
// `percentKey` is a finite number. Nothing when it is not an object, or
// its share is missing, not a number, NaN or infinite: a window without a
// share has nothing to show. A reset that cannot be read (or null) leaves
// the window without one.
std::optional<UsageWindow> claudeWindowOf(const rapidjson::Value& fields, const char* percentKey, std::chrono::minutes length);

// The member `name` of `container` read by claudeWindowOf; nothing when
// `container` is not an object or has no such member.
std::optional<UsageWindow> claudeWindow(const rapidjson::Value& container, const char* name, const char* percentKey,
    std::chrono::minutes length);

}
