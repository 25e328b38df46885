#include "TavvoShared/NovikDesign/NovikSymbol.hpp"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Points and lengths in fractions of the square's side.
struct Point {
    double x;
    double y;
};

constexpr double lineWidth = 0.08;

// A straight stroke with round ends from `from` to `to`: a capsule as long
// as the segment plus its round ends, turned about its center.
UI::View segment(Point from, Point to, double size, const UI::Color& color)
{
    double const dx = to.x - from.x;
    double const dy = to.y - from.y;
    double const length = std::hypot(dx, dy) + lineWidth;
    double const degrees = std::atan2(dy, dx) * 180 / std::numbers::pi;
    Point const middle { (from.x + to.x) / 2, (from.y + to.y) / 2 };
    return UI::capsule()
        .fill(color)
        .frame({ .width = length * size, .height = lineWidth * size })
        .rotation(degrees)
        .padding(UI::Edges::leading, (middle.x - length / 2) * size)
        .padding(UI::Edges::top, (middle.y - lineWidth / 2) * size);
}

// An outline with rounded corners from `top` down to `bottom`, full width.
UI::View outline(double top, double bottom, double cornerRadius, double size, const UI::Color& color)
{
    return UI::roundedRectangle(cornerRadius * size)
        .stroke(color, { .lineWidth = lineWidth * size })
        .padding(lineWidth * size / 2)
        .frame({ .width = size, .height = (bottom - top) * size })
        .padding(UI::Edges::top, top * size);
}

std::vector<UI::View> terminal(double size, const UI::Color& color)
{
    return {
        outline(0.1, 0.9, 0.18, size, color),
        // The prompt's chevron, then the cursor.
        segment({ 0.26, 0.36 }, { 0.42, 0.5 }, size, color),
        segment({ 0.26, 0.64 }, { 0.42, 0.5 }, size, color),
        segment({ 0.5, 0.64 }, { 0.72, 0.64 }, size, color),
    };
}

std::vector<UI::View> textBubble(double size, const UI::Color& color)
{
    return {
        outline(0.08, 0.76, 0.24, size, color),
        // The tail, then two lines of text.
        segment({ 0.32, 0.74 }, { 0.2, 0.92 }, size, color),
        segment({ 0.28, 0.32 }, { 0.72, 0.32 }, size, color),
        segment({ 0.28, 0.52 }, { 0.56, 0.52 }, size, color),
    };
}

}

UI::View Tavvo::novikSymbol(std::string_view name, double size, const UI::Color& color)
{
    std::vector<UI::View> layers;
    if (name == "terminal")
        layers = terminal(size, color);
    else if (name == "text.bubble")
        layers = textBubble(size, color);
    return UI::zstack(UI::Alignment::topLeading, std::move(layers))
        .frame({ .width = size, .height = size }, UI::Alignment::topLeading)
        .accessibilityHidden(true);
}
