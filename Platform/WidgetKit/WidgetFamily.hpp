// WidgetFamily: the sizes a widget can be shown at on the desktop, with the
// point size the host lays each one out at.
#pragma once

#include "Platform/UI/Geometry.hpp"

#include <array>
#include <optional>
#include <string_view>

namespace WidgetKit {

enum class WidgetFamily { systemSmall, systemMedium, systemLarge, systemExtraLarge };

inline constexpr std::array<WidgetFamily, 4> allWidgetFamilies {
    WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge
};

// "systemSmall", "systemMedium", "systemLarge", "systemExtraLarge".
std::string_view name(WidgetFamily family);

// The family called `text`: its name, or the short form "small", "medium",
// "large" or "extra-large". Nothing for any other text.
std::optional<WidgetFamily> widgetFamilyNamed(std::string_view text);

// The size the host gives a widget of `family`, in points:
//   systemSmall 170 × 170, systemMedium 364 × 220,
//   systemLarge 364 × 392, systemExtraLarge 768 × 392.
UI::Size size(WidgetFamily family);

}
