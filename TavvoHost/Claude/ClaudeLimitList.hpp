// The list of limits newer versions of Claude Code cache in their settings
// file, under `cachedUsageUtilization.utilization.limits`:
//
//   [{"kind":"session","percent":33,"resets_at":"2026-09-04T07:50:00.439964+00:00",…},
//    {"kind":"weekly_all","percent":64,"resets_at":"2026-09-04T18:00:00.439983+00:00",…},
//    {"kind":"weekly_scoped","percent":10,"resets_at":null,"scope":{"model":{"display_name":"Opus"}},…}]
//
// `percent` is the share used. `session` is the five-hour window,
// `weekly_all` the weekly one, and each `weekly_scoped` the weekly limit of
// the model it names.
//
// Internal to the host library: the header names RapidJSON's types.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/ClaudeReading.hpp"

#include <rapidjson/document.h>

namespace TavvoHost {

// The windows of the list in `utilization`, observed at `observedAt`. An
// entry of an unknown kind, without a finite share, or scoped to no named
// model is left out, and so is a second entry for a window already taken;
// a reset that is null or cannot be read leaves the window without one.
// No list, or a list of nothing usable, gives an observation without
// windows.
ClaudeObservation claudeLimitList(const rapidjson::Value& utilization, Foundation::Date observedAt);

}
