// TavvoWidgetConstants: the fixed names the library, the widget and host
// programs agree on.
#pragma once

#include <string>
#include <string_view>

namespace TavvoWidgetConstants {

inline constexpr std::string_view widgetKind = "TavvoCurrentLimitsWidget";

// Team identifier, a dot, the host program's bundle identifier, ".shared".
inline constexpr std::string_view defaultAppGroupIdentifier = "T4VV0N0V1K.app.tavvo.Tavvo.shared";

// The information-dictionary key that may override the identifier above.
inline constexpr std::string_view appGroupInfoPlistKey = "TavvoAppGroupIdentifier";

inline constexpr std::string_view snapshotDirectoryName = "Widget";
inline constexpr std::string_view snapshotFileName = "current-limits.json";

// "tavvo://open", the address a click on the widget opens; made once on
// first use and shared from then on.
const std::string& openURL();

}
