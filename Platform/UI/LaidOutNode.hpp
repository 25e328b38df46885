// LaidOutNode: the result of layout, a tree of frames with what to draw in
// each. Drawing and the dumps only walk this tree; the views themselves
// carry no coordinates.
#pragma once

#include "Platform/Foundation/RawValue.hpp"
#include "Platform/UI/AccessibilityTraits.hpp"
#include "Platform/UI/Animation.hpp"
#include "Platform/UI/Color.hpp"
#include "Platform/UI/Font.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/Paint.hpp"
#include "Platform/UI/ShapePath.hpp"
#include "Platform/UI/StrokeStyle.hpp"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace UI {

class TextLayout;

// A text as laid out: drawn from its frame's top-leading corner with the
// setting it was measured with (its point size is the one after any
// shrinking).
struct LaidOutText {
    std::string string;
    TextSetting setting;
    Color color;
    // Whether the text ends in an ellipsis because it did not fit.
    bool truncated = false;
    // The text as layout set it, drawn as it is by the thread that made it;
    // any other drawing sets the text again from the setting. Not part of
    // the value: it is the same text either way.
    std::shared_ptr<const TextLayout> layout;
    friend bool operator==(const LaidOutText& left, const LaidOutText& right)
    {
        return left.string == right.string && left.setting == right.setting && left.color == right.color
            && left.truncated == right.truncated;
    }
};

// A shape fitted to its node's frame, filled with `paint`, or stroked
// with it when there is a stroke style.
struct LaidOutShape {
    ShapePath path;
    Paint paint;
    std::optional<StrokeStyle> stroke;
    friend bool operator==(const LaidOutShape&, const LaidOutShape&) = default;
};

// The animation a view asked for when `value` changes. Disabled when the
// layout was made with reduced motion.
struct AnimationNote {
    Animation animation;
    double value = 0;
    bool enabled = true;
    friend bool operator==(const AnimationNote&, const AnimationNote&) = default;
};

struct LaidOutNode {
    enum class Kind {
        empty,
        vstack,
        hstack,
        zstack,
        spacer,
        divider,
        text,
        shape,
        linearGradient,
        geometryReader,
        padding,
        frame,
        // Both hold the modified view first and the layer second; a
        // background's layer is drawn before the view, an overlay's after it.
        background,
        overlay,
    };

    Kind kind = Kind::empty;
    // In the coordinates of the root, whose frame starts at (0, 0).
    Rect frame;
    // A text for text nodes; a shape for shapes, dividers and gradients.
    std::variant<std::monostate, LaidOutText, LaidOutShape> content;
    // Applied to the node with everything inside it, as one layer.
    double opacity = 1;
    // Degrees, clockwise, about the center of the frame; the frames inside
    // stay as laid out and are turned only when drawn.
    double rotation = 0;
    AccessibilityTraits accessibility;
    std::optional<AnimationNote> animation;
    std::vector<LaidOutNode> children;
    friend bool operator==(const LaidOutNode&, const LaidOutNode&) = default;
};

}

template <>
struct Foundation::RawValues<UI::LaidOutNode::Kind> {
    static constexpr std::array<std::string_view, 14> texts { "empty", "vstack", "hstack", "zstack", "spacer", "divider",
        "text", "shape", "linearGradient", "geometryReader", "padding", "frame", "background", "overlay" };
};
