// WaybarLine: the JSON object Waybar's custom module reads, one a line,
// with "return-type": "json".
#pragma once

#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <string>

namespace TavvoSurfaces {

// {"text", "tooltip", "class" (an array), "percentage" (when a share is
// shown), "alt" (the worst severity, for format-icons)}. Waybar reads text
// and tooltip as Pango markup, so both are escaped.
std::string waybarLine(const StatusBarSummary& summary);

} // namespace TavvoSurfaces
