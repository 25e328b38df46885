// Environment: the values a view hands down to everything inside it during
// layout: text attributes set by modifiers, the stack a child is in, and
// the settings the layout was asked for.
#pragma once

#include "Platform/UI/Animation.hpp"
#include "Platform/UI/Color.hpp"
#include "Platform/UI/Font.hpp"
#include "Platform/UI/Geometry.hpp"

#include <optional>

namespace UI {

struct Environment {
    TextStyle textStyle = TextStyle::body;
    std::optional<FontWeight> fontWeight;
    FontDesign fontDesign = FontDesign::standard;
    bool monospacedDigit = false;
    double kerning = 0;
    Color foregroundColor = Color::primary();
    std::optional<int> lineLimit;
    double minimumScaleFactor = 1;
    // The axis of the stack the view is a child of; spacers and dividers
    // take their direction from it. Layout modifiers pass it through, so a
    // framed divider still knows its stack; other containers clear it.
    std::optional<Axis> stackAxis;
    ReduceMotion reduceMotion = ReduceMotion::off;

    friend bool operator==(const Environment&, const Environment&) = default;
};

}
