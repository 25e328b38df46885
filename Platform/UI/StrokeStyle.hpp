// StrokeStyle: how a shape's outline is stroked. The stroke is centered on
// the outline, half of it inside and half outside.
#pragma once

#include "Platform/Foundation/RawValue.hpp"
#include "Platform/UI/Geometry.hpp"

#include <algorithm>

namespace UI {

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };

struct StrokeStyle {
    double lineWidth = 1;
    LineCap lineCap = LineCap::butt;
    LineJoin lineJoin = LineJoin::miter;
    // Joins sharper than this ratio of miter length to line width are
    // bevelled; below 1 it counts as 1.
    double miterLimit = 10;
    friend bool operator==(const StrokeStyle&, const StrokeStyle&) = default;

    // The style with a usable line width (see sanitizedLength) and miter limit.
    StrokeStyle sanitized() const
    {
        return { sanitizedLength(lineWidth), lineCap, lineJoin, std::max(1.0, sanitizedLength(miterLimit)) };
    }
};

}

template <>
struct Foundation::RawValues<UI::LineCap> {
    static constexpr std::array<std::string_view, 3> texts { "butt", "round", "square" };
};

template <>
struct Foundation::RawValues<UI::LineJoin> {
    static constexpr std::array<std::string_view, 3> texts { "miter", "round", "bevel" };
};
