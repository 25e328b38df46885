// Geometry: points, sizes and rectangles in points, the edges padding
// applies to and the axes a view can be fixed on, and the one rule that
// turns any double into a usable length.
#pragma once

#include <limits>

namespace UI {

// Asking for an unbounded length (a frame's maximum width, say) means
// "as much as is offered".
inline constexpr double infinity = std::numeric_limits<double>::infinity();

// The longest length layout works with. Every length a caller hands in is
// brought into [0, maximumLength], so that sums of a few of them stay
// finite and exact enough, and no infinity or NaN ever reaches the
// arithmetic or the drawing.
inline constexpr double maximumLength = 1'000'000;

// `value` limited to [lowest, highest]; NaN becomes `whenNaN`. Every
// number a caller hands in passes through this before it is used.
//   bounded(7, 0, 1, 0) == 1, bounded(NaN, 0.01, 64, 1) == 1
double bounded(double value, double lowest, double highest, double whenNaN);

// NaN and negative lengths become 0; larger ones, infinity included,
// become maximumLength.
//   sanitizedLength(-3) == 0, sanitizedLength(NaN) == 0,
//   sanitizedLength(infinity) == maximumLength, sanitizedLength(12.5) == 12.5
double sanitizedLength(double length);

// A coordinate or signed offset: NaN becomes 0 and magnitudes are limited
// to maximumLength.
double sanitizedCoordinate(double coordinate);

// A fraction (an opacity, a trim, a color component): NaN becomes 0, and
// the rest is limited to [0, 1].
double sanitizedFraction(double fraction);

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    Point origin;
    Size size;
    friend bool operator==(const Rect&, const Rect&) = default;

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    Point center() const { return { origin.x + size.width / 2, origin.y + size.height / 2 }; }
};

enum class Axis { horizontal, vertical };

// A set of edges, combined with |.
enum class Edges : unsigned {
    top = 1,
    leading = 2,
    bottom = 4,
    trailing = 8,
    horizontal = leading | trailing,
    vertical = top | bottom,
    all = horizontal | vertical,
};

constexpr Edges operator|(Edges a, Edges b)
{
    return static_cast<Edges>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

constexpr bool contains(Edges set, Edges edge)
{
    return (static_cast<unsigned>(set) & static_cast<unsigned>(edge)) == static_cast<unsigned>(edge);
}

// The axes a view keeps its ideal length on (fixedSize).
enum class Axes : unsigned {
    horizontal = 1,
    vertical = 2,
    both = horizontal | vertical,
};

constexpr bool contains(Axes set, Axis axis)
{
    auto const bit = axis == Axis::horizontal ? Axes::horizontal : Axes::vertical;
    return (static_cast<unsigned>(set) & static_cast<unsigned>(bit)) != 0;
}

}
