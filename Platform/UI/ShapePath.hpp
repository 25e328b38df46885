// ShapePath: the outline of a shape, fitted to the frame it is drawn in.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

namespace UI {

enum class ShapeKind {
    // The whole frame.
    rectangle,
    // The largest circle centered in the frame.
    circle,
    // A rectangle whose shorter sides are half circles: fully rounded ends.
    capsule,
    // A rectangle with quarter-circle corners of cornerRadius, at most half
    // the shorter side.
    roundedRectangle,
};

// A circle's outline starts at its rightmost point (3 o'clock) and runs
// clockwise on screen; the trim keeps the part from fraction trimFrom to
// fraction trimTo of it. Other shapes are never trimmed; only rounded
// rectangles have a corner radius.
struct ShapePath {
    ShapeKind kind = ShapeKind::rectangle;
    double trimFrom = 0;
    double trimTo = 1;
    double cornerRadius = 0;
    friend bool operator==(const ShapePath&, const ShapePath&) = default;
};

}

template <>
struct Foundation::RawValues<UI::ShapeKind> {
    static constexpr std::array<std::string_view, 4> texts { "rectangle", "circle", "capsule", "roundedRectangle" };
};
