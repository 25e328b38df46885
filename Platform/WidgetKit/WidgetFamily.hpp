// WidgetFamily: the sizes a widget can be shown at on the desktop, with the
// point size the host lays each one out at.
#pragma once

#include "Platform/Foundation/RawValue.hpp"
#include "Platform/UI/Geometry.hpp"

#include <optional>
#include <string_view>

namespace WidgetKit {

enum class WidgetFamily { systemSmall, systemMedium, systemLarge, systemExtraLarge };

}

// A family's name in descriptions, dumps and on command lines.
template <>
struct Foundation::RawValues<WidgetKit::WidgetFamily> {
    static constexpr std::array<std::string_view, 4> texts { "systemSmall", "systemMedium", "systemLarge", "systemExtraLarge" };
};

namespace WidgetKit {

inline constexpr auto allWidgetFamilies = Foundation::allCases<WidgetFamily>();

// "systemSmall", "systemMedium", "systemLarge", "systemExtraLarge".
std::string_view name(WidgetFamily family);

// "small", "medium", "large", "extra-large".
std::string_view shortName(WidgetFamily family);

// The family called `text`: its name, or the short form "small", "medium",
// "large" or "extra-large". Nothing for any other text.
std::optional<WidgetFamily> widgetFamilyNamed(std::string_view text);

// The size the host gives a widget of `family`, in points:
//   systemSmall 170 × 170, systemMedium 364 × 220,
//   systemLarge 364 × 392, systemExtraLarge 768 × 392.
UI::Size size(WidgetFamily family);

}
