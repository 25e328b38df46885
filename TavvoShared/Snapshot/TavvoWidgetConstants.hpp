// TavvoWidgetConstants: the fixed names the library, the widget and host
// programs agree on.
#pragma once

#include "TavvoShared/AppGroup/AppGroup.hpp"

#include <string>
#include <string_view>

namespace TavvoWidgetConstants {

inline constexpr std::string_view widgetKind = "TavvoCurrentLimitsWidget";

// The group's names are kept with the group itself, which the language
// override uses too; these are the same values.
inline constexpr std::string_view defaultAppGroupIdentifier = Tavvo::AppGroup::defaultIdentifier;
inline constexpr std::string_view appGroupInfoPlistKey = Tavvo::AppGroup::infoDictionaryKey;

inline constexpr std::string_view snapshotDirectoryName = "Widget";
inline constexpr std::string_view snapshotFileName = "current-limits.json";

// "tavvo://open", the address a click on the widget opens; made once on
// first use and shared from then on.
const std::string& openURL();

}
