// AccessibilityElement: what assistive technology reads from a laid-out
// tree, element by element in reading order, and the gauges it can find
// in it.
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

struct AccessibilityGaugeElement {
    AccessibilityGauge gauge;
    Rect frame;
    friend bool operator==(const AccessibilityGaugeElement&, const AccessibilityGaugeElement&) = default;
};

// The gauges of `root` in tree order, each with the frame of its node. A
// gauge stands beside the elements: a group that reads as one label (or
// as nothing) still shows the gauges inside it, so that a screen reader
// can find each one with its value. Only hiding a node removes the gauges
// within it.
std::vector<AccessibilityGaugeElement> accessibilityGauges(const LaidOutNode& root);

}
