// AccessibilityElement: what assistive technology reads from a laid-out
// tree, element by element in reading order.
#pragma once

#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/LaidOutNode.hpp"

#include <string>
#include <vector>

namespace UI {

struct AccessibilityElement {
    std::string label;
    Rect frame;
    friend bool operator==(const AccessibilityElement&, const AccessibilityElement&) = default;
};

// The elements of `root` in reading order (tree order):
// - a hidden node is skipped with everything inside it;
// - a node with an explicit label is one element reading that label, and
//   nothing inside it is read separately;
// - a node whose children are combined and that has no label is one
//   element reading its descendants' labels joined with ", ";
// - a node whose children are ignored and that has no label reads nothing;
// - any other text is an element reading its own string.
// Elements with an empty label are left out.
std::vector<AccessibilityElement> accessibilityElements(const LaidOutNode& root);

}
