// View: the declarative vocabulary. Views are immutable values built by
// the free factory functions below and changed by modifiers, each of which
// returns a new view around the old one:
//
//   auto const badge = UI::text("Stale")
//                          .font(UI::TextStyle::caption2)
//                          .fontWeight(UI::FontWeight::semibold)
//                          .padding(UI::Edges::horizontal, 6)
//                          .background(UI::capsule().fill(UI::Color::secondary().opacity(0.14)));
//
// Lengths are points. Any double is accepted: NaN and negative lengths
// count as 0 and larger ones, infinity included, as UI::maximumLength.
// Layout (Layout.hpp) turns a view into frames; the views never fail.
//
// Modifiers that set text attributes (font, fontWeight, fontDesign,
// kerning, monospacedDigit, lineLimit, minimumScaleFactor,
// foregroundColor) apply to every text inside the view they modify; the
// one closest to a text wins.
#pragma once

#include "Platform/UI/AccessibilityTraits.hpp"
#include "Platform/UI/Alignment.hpp"
#include "Platform/UI/Animation.hpp"
#include "Platform/UI/Color.hpp"
#include "Platform/UI/Font.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/Paint.hpp"
#include "Platform/UI/ShapePath.hpp"
#include "Platform/UI/StrokeStyle.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace UI {

class ViewNode;

// The lengths a frame fixes or limits. Per axis: a fixed length wins; a
// maximum makes the frame take the length offered, or its content's length
// when that is longer, but no more than the maximum (infinity: no limit);
// with neither, the frame is as long as its content.
//
//   .frame({ .width = 7, .height = 7 })
//   .frame({ .maxWidth = UI::infinity }, UI::Alignment::topLeading)
struct Frame {
    // Initialized so that designated initializers may leave any of them out.
    std::optional<double> width {};
    std::optional<double> height {};
    std::optional<double> maxWidth {};
    std::optional<double> maxHeight {};
};

class View {
public:
    // Nothing: takes no space, draws nothing, and stacks leave it out
    // (no spacing around it). Handy for optional children.
    View();
    explicit View(std::shared_ptr<const ViewNode> node);

    bool isEmpty() const;
    const ViewNode& node() const { return *m_node; }

    // Insets the view by `length` on the given edges: it is offered that
    // much less and is that much larger.
    View padding(double length) const;
    View padding(Edges edges, double length) const;

    // See Frame. The view is placed inside the frame by `alignment`.
    View frame(const Frame& frame, Alignment alignment = Alignment::center) const;

    // Keeps the view's ideal (unconstrained) length on the given axes,
    // whatever is offered: a text then takes all the lines it needs.
    View fixedSize(Axes axes) const;

    // A layer behind or in front of the view, offered exactly the view's
    // size and placed within it by `alignment`. It does not change the
    // view's size.
    View background(View layer, Alignment alignment = Alignment::center) const;
    View overlay(View layer, Alignment alignment = Alignment::center) const;

    // Drawn as one layer at this opacity (clamped to [0, 1]); nested
    // opacities multiply.
    View opacity(double opacity) const;

    // Turned by `degrees` clockwise about its center when drawn; its frame,
    // and so the layout around it, stays as it is.
    View rotation(double degrees) const;

    View foregroundColor(Color color) const;
    View font(TextStyle style) const;
    // Sets the style and the design, and the weight when the font has one.
    View font(Font font) const;
    View fontWeight(FontWeight weight) const;
    View fontDesign(FontDesign design) const;
    // Extra space between characters, in points (clamped to ±100).
    View kerning(double points) const;
    View monospacedDigit() const;
    // At most `lines` lines (1 or more; smaller values count as 1), the
    // last ending in an ellipsis when the text does not fit.
    View lineLimit(int lines) const;
    // A text that does not fit in its line limit is first set smaller, down
    // to this fraction of its size (clamped to [0.01, 1]), and only then
    // truncated.
    View minimumScaleFactor(double factor) const;

    View accessibilityLabel(std::string label) const;
    View accessibilityHidden(bool hidden) const;
    View accessibilityElement(AccessibilityChildBehavior children) const;
    // Reads the view as a gauge of its own (see accessibilityGauges),
    // whatever its group reads as text. The value is kept within 0…100;
    // NaN reads as 0.
    View accessibilityGauge(AccessibilityGauge gauge) const;

    // Asks for changes of `value` to be animated with `animation`; nothing
    // asks for no animation. Recorded on the laid-out node, never played.
    View animation(std::optional<Animation> animation, double value) const;

private:
    std::shared_ptr<const ViewNode> m_node;
};

// A shape fills the whole size it is offered; asked for its ideal size it
// has none. It becomes a view once it is filled or stroked.
class Shape {
public:
    explicit Shape(ShapePath path)
        : m_path(path)
    {
    }

    View fill(Paint paint) const;
    // Strokes the outline; the stroke is centered on it.
    View stroke(Paint paint, StrokeStyle style) const;

private:
    ShapePath m_path;
};

Shape rectangle();
Shape circle();
Shape capsule();
// The part of a circle from fraction `from` to fraction `to` of its
// outline, which starts at 3 o'clock and runs clockwise (so a rotation of
// -90 makes it start at the top). Fractions are clamped to [0, 1]; when
// `to` is not past `from` nothing is drawn.
Shape trimmedCircle(double from, double to);
// The whole frame with corners of `cornerRadius` points (sanitized as a
// length, and never more than half the shorter side when drawn).
Shape roundedRectangle(double cornerRadius);

// Children one below the other, `spacing` apart, placed across by
// `alignment`. Along the stack the children with a bounded length (texts,
// fixed frames) are served first, from the least to the most flexible;
// spacers and other views that fill what they are offered then share the
// rest, each getting at least its minimum. Across, each child is offered
// the stack's whole width, and the stack is as wide as its widest child.
View vstack(HorizontalAlignment alignment, double spacing, std::vector<View> children);

// Children side by side; as vstack with the axes swapped. With
// firstTextBaseline the children line up on their first baselines.
View hstack(VerticalAlignment alignment, double spacing, std::vector<View> children);

// Children on top of each other, the first at the back, each offered the
// whole size and placed by `alignment`; as large as the largest child.
View zstack(Alignment alignment, std::vector<View> children);

// Flexible space along the stack it is in, never shorter than `minLength`;
// nothing across it. Outside a stack it takes what is offered on both axes.
View spacer(double minLength);

// A line 1 point thick across the stack it is in (vertical in an hstack,
// horizontal otherwise), as long as offered, drawn in Color::separator().
View divider();

// A run of text, UTF-8; invalid bytes are shown as U+FFFD. Measured with
// its font; it wraps at the width offered, up to its line limit, and is as
// tall as its lines whatever height is offered.
View text(std::string string);

// Takes the whole size offered and builds its content from it; the content
// is offered that size and placed at the top-leading corner. An empty
// function builds nothing.
View geometryReader(std::function<View(Size)> content);

// A rectangle filling what it is offered, painted with the gradient.
View linearGradient(std::vector<GradientStop> stops, UnitPoint startPoint, UnitPoint endPoint);

}
