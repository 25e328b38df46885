// Dump: three textual views of a laid-out tree, for tests, scripts and the
// host's command line.
#pragma once

#include "Platform/UI/Color.hpp"
#include "Platform/UI/LaidOutNode.hpp"

#include <string>

namespace UI {

// Every text's string in tree order, each followed by a line feed.
std::string textDump(const LaidOutNode& root);

// Every accessibility element's label in reading order (see
// accessibilityElements), each followed by a line feed; then every gauge
// (see accessibilityGauges) as a line of its own:
//   "[gauge 84/100] Codex Plus, 5h: 84% left"
// (the description and its colon only when there is one).
std::string accessibilityDump(const LaidOutNode& root);

// The tree as pretty-printed JSON, colors resolved in `appearance`. Each
// node is an object:
//
//   "kind":      "vstack", "hstack", "zstack", "spacer", "divider", "text",
//                "shape", "linearGradient", "geometryReader", "padding",
//                "frame", "background", "overlay" or "empty"
//   "frame":     { "x", "y", "width", "height" } in points from the root's
//                top-leading corner
//   "opacity":   only when not 1
//   "rotation":  degrees clockwise, only when not 0
//   "text":      texts only: { "string", "style" (body, headline,
//                subheadline, callout, caption, caption2), "weight"
//                (regular, semibold, bold), "design" (standard, rounded),
//                "pointSize", "monospacedDigit", "kerning", "lineLimit"
//                (null when unlimited), "color", "truncated" }
//   "shape":     shapes, dividers and gradients: { "path" (rectangle,
//                circle, capsule, roundedRectangle), "trimFrom", "trimTo"
//                (circles only), "cornerRadius" (rounded rectangles only),
//                "fill" or "stroke" with the paint, and for strokes
//                "lineWidth", "lineCap" (butt, round, square), "lineJoin"
//                (miter, round, bevel), "miterLimit" }
//   "accessibility": only when set: { "label", "hidden", "children"
//                (combine, ignore), "gauge" { "label", "value",
//                "description" } }, each only when set
//   "animation": only when asked for: { "curve" (linear, easeIn, easeOut,
//                easeInOut), "duration" (seconds), "value", "enabled" }
//   "children":  the child nodes, only when there are any
//
// A paint is a color, written "#RRGGBBAA" (straight alpha, each component
// rounded to the nearest of 0–255), or { "linearGradient": { "stops":
// [ { "color", "location" } ], "startPoint": [x, y], "endPoint": [x, y] } }.
// Lengths and other numbers are rounded to thousandths; a number that is
// not finite is written as null. The names are the enumerations' raw
// values; a value outside its enumeration's cases (made by a cast) throws
// std::out_of_range.
std::string treeDump(const LaidOutNode& root, Appearance appearance = Appearance::light);

}
