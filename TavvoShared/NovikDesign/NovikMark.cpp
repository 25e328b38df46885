#include "TavvoShared/NovikDesign/NovikMark.hpp"

namespace {

// One arc: a circle inset from the square's edge, trimmed to a share of
// its outline, stroked on center with round caps.
struct Arc {
    double inset;
    double trim;
    double lineWidth;
};

// Proportions of the square's size. The outer inset is exactly half the
// outer line width, so the stroke touches the edge. 290° and 155° of 360°.
constexpr Arc outerArc { 0.0728, 0.8055555555555556, 0.1456 };
constexpr Arc innerArc { 0.3339, 0.4305555555555556, 0.1076 };

UI::View arc(const Arc& arc, double size, const UI::Color& tint)
{
    UI::StrokeStyle const style {
        .lineWidth = arc.lineWidth * size,
        .lineCap = UI::LineCap::round,
        .lineJoin = UI::LineJoin::miter,
        .miterLimit = 10,
    };
    return UI::trimmedCircle(0, arc.trim).stroke(tint, style).padding(arc.inset * size);
}

}

NovikMark::NovikMark(double size, UI::Color longWindowTint, UI::Color shortWindowTint)
    : m_size(size)
    , m_longWindowTint(longWindowTint)
    , m_shortWindowTint(shortWindowTint)
{
}

UI::View NovikMark::body() const
{
    // Circles start at 3 o'clock; a quarter turn back starts both at the top.
    return UI::zstack(UI::Alignment::center, { arc(outerArc, m_size, m_longWindowTint), arc(innerArc, m_size, m_shortWindowTint) })
        .rotation(-90)
        .frame({ .width = m_size, .height = m_size })
        .accessibilityHidden(true);
}
