// Paint: what a shape is filled or stroked with, a flat color or a
// linear gradient.
#pragma once

#include "Platform/UI/Color.hpp"

#include <variant>
#include <vector>

namespace UI {

// A point relative to a view's bounds: (0, 0) is its top-leading corner,
// (1, 1) its bottom-trailing one.
struct UnitPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const UnitPoint&, const UnitPoint&) = default;

    static const UnitPoint top;
    static const UnitPoint bottom;
    static const UnitPoint leading;
    static const UnitPoint trailing;
    static const UnitPoint center;
};

inline constexpr UnitPoint UnitPoint::top { 0.5, 0 };
inline constexpr UnitPoint UnitPoint::bottom { 0.5, 1 };
inline constexpr UnitPoint UnitPoint::leading { 0, 0.5 };
inline constexpr UnitPoint UnitPoint::trailing { 1, 0.5 };
inline constexpr UnitPoint UnitPoint::center { 0.5, 0.5 };

// A color at `location`, a fraction of the way from the start point to
// the end point.
struct GradientStop {
    Color color;
    double location = 0;
    friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

// Colors blended along the line from startPoint to endPoint, both relative
// to the bounds of what is painted; beyond the ends the end colors go on.
struct LinearGradient {
    std::vector<GradientStop> stops;
    UnitPoint startPoint = UnitPoint::top;
    UnitPoint endPoint = UnitPoint::bottom;
    friend bool operator==(const LinearGradient&, const LinearGradient&) = default;
};

using Paint = std::variant<Color, LinearGradient>;

}
