// AccessibilityTraits: what accessibility modifiers leave on a laid-out
// node, for the reading of the tree (AccessibilityElement) and the dumps.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

#include <optional>
#include <string>

namespace UI {

// How a view that is one accessibility element treats its descendants.
enum class AccessibilityChildBehavior {
    // Their labels are joined, with ", ", into the element's label.
    combine,
    // They are not read; the element reads only its own label.
    ignore,
};

// A drawing that reads as a gauge: what it measures, where it stands
// between 0 and 100, and that standing in words.
struct AccessibilityGauge {
    std::string label;
    double value = 0;
    std::string description;
    friend bool operator==(const AccessibilityGauge&, const AccessibilityGauge&) = default;
};

struct AccessibilityTraits {
    std::optional<std::string> label;
    bool hidden = false;
    std::optional<AccessibilityChildBehavior> children;
    std::optional<AccessibilityGauge> gauge;
    friend bool operator==(const AccessibilityTraits&, const AccessibilityTraits&) = default;
};

}

template <>
struct Foundation::RawValues<UI::AccessibilityChildBehavior> {
    static constexpr std::array<std::string_view, 2> texts { "combine", "ignore" };
};
