// AccessibilityElement: what assistive technology reads from a laid-out
// tree, element by element in reading order.
#pragma once

#include "Platform/UI/Geometry.hpp"

#include <optional>
#include <string>
#include <vector>

namespace UI {

struct LaidOutNode;

// How a view that is one accessibility element treats its descendants.
enum class AccessibilityChildBehavior {
    // Their labels are joined, with ", ", into the element's label.
    combine,
    // They are not read; the element reads only its own label.
    ignore,
};

// What accessibility modifiers left on a laid-out node.
struct AccessibilityTraits {
    std::optional<std::string> label;
    bool hidden = false;
    std::optional<AccessibilityChildBehavior> children;
    friend bool operator==(const AccessibilityTraits&, const AccessibilityTraits&) = default;
};

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
