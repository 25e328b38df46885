// Alignment: where a child sits inside the space its parent gives it.
#pragma once

#include "Platform/UI/Geometry.hpp"

namespace UI {

// Leading is the left edge: the views are laid out left to right.
enum class HorizontalAlignment { leading, center, trailing };

// firstTextBaseline lines children up on the baseline of their first line
// of text; a child without text counts its bottom edge as its baseline.
enum class VerticalAlignment { top, center, bottom, firstTextBaseline };

struct Alignment {
    HorizontalAlignment horizontal = HorizontalAlignment::center;
    VerticalAlignment vertical = VerticalAlignment::center;
    friend bool operator==(const Alignment&, const Alignment&) = default;

    static const Alignment center;
    static const Alignment leading;
    static const Alignment trailing;
    static const Alignment top;
    static const Alignment bottom;
    static const Alignment topLeading;
    static const Alignment topTrailing;
    static const Alignment bottomLeading;
    static const Alignment bottomTrailing;
};

inline constexpr Alignment Alignment::center { HorizontalAlignment::center, VerticalAlignment::center };
inline constexpr Alignment Alignment::leading { HorizontalAlignment::leading, VerticalAlignment::center };
inline constexpr Alignment Alignment::trailing { HorizontalAlignment::trailing, VerticalAlignment::center };
inline constexpr Alignment Alignment::top { HorizontalAlignment::center, VerticalAlignment::top };
inline constexpr Alignment Alignment::bottom { HorizontalAlignment::center, VerticalAlignment::bottom };
inline constexpr Alignment Alignment::topLeading { HorizontalAlignment::leading, VerticalAlignment::top };
inline constexpr Alignment Alignment::topTrailing { HorizontalAlignment::trailing, VerticalAlignment::top };
inline constexpr Alignment Alignment::bottomLeading { HorizontalAlignment::leading, VerticalAlignment::bottom };
inline constexpr Alignment Alignment::bottomTrailing { HorizontalAlignment::trailing, VerticalAlignment::bottom };

// The offset of a child of length `child` inside a space of length
// `space`: 0 at the leading/top edge, centered, or flush with the
// trailing/bottom edge. A child longer than the space overhangs it
// (a negative offset), evenly on both sides when centered.
// An alignment that is none of the named cases (a stray cast) centers.
double alignedOffset(HorizontalAlignment alignment, double space, double child);

// As above along the vertical axis. firstTextBaseline cannot be judged
// from lengths alone and aligns to the top here; stacks that line up
// baselines do so themselves.
double alignedOffset(VerticalAlignment alignment, double space, double child);

// Where a child of size `child` goes inside `space` by both offsets above.
Point alignedOrigin(Alignment alignment, const Rect& space, const Size& child);

}
