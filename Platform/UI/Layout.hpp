// Layout: turns a view into a laid-out tree of frames.
#pragma once

#include "Platform/UI/Animation.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/View.hpp"

namespace UI {

// Offers `view` the size `offered` (sanitized: NaN and negatives count as
// 0, larger lengths, infinity included, as maximumLength), lets it measure
// itself, and places it at (0, 0) with the size it chose, which may be
// smaller than offered, or larger when its content cannot shrink.
// Animations asked for are recorded as disabled when motion is reduced.
//
//   auto const tree = UI::layout(UI::text("42%").padding(8), { 100, 40 });
//   // tree.kind == LaidOutNode::Kind::padding, tree.children[0].kind == Kind::text
LaidOutNode layout(const View& view, Size offered, ReduceMotion reduceMotion = ReduceMotion::off);

}
