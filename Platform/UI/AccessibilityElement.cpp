#include "Platform/UI/AccessibilityElement.hpp"

#include <fmt/format.h>

#include <string_view>

namespace UI {

namespace {

void collect(const LaidOutNode& node, std::vector<AccessibilityElement>& elements);

// The labels a combining element joins: those of the elements inside it.
std::string combinedLabel(const LaidOutNode& node)
{
    std::vector<AccessibilityElement> inner;
    for (auto const& child : node.children)
        collect(child, inner);
    std::vector<std::string_view> labels;
    for (auto const& element : inner)
        labels.push_back(element.label);
    return fmt::format("{}", fmt::join(labels, ", "));
}

void collect(const LaidOutNode& node, std::vector<AccessibilityElement>& elements)
{
    auto const& traits = node.accessibility;
    if (traits.hidden)
        return;
    auto add = [&](std::string label) {
        if (!label.empty())
            elements.push_back({ std::move(label), node.frame });
    };
    if (traits.label) {
        add(*traits.label);
        return;
    }
    if (traits.children == AccessibilityChildBehavior::combine) {
        add(combinedLabel(node));
        return;
    }
    if (traits.children == AccessibilityChildBehavior::ignore)
        return;
    if (auto const* text = std::get_if<LaidOutText>(&node.content))
        add(text->string);
    for (auto const& child : node.children)
        collect(child, elements);
}

void collectGauges(const LaidOutNode& node, std::vector<AccessibilityGaugeElement>& gauges)
{
    if (node.accessibility.hidden)
        return;
    if (node.accessibility.gauge)
        gauges.push_back({ *node.accessibility.gauge, node.frame });
    for (auto const& child : node.children)
        collectGauges(child, gauges);
}

}

std::vector<AccessibilityElement> accessibilityElements(const LaidOutNode& root)
{
    std::vector<AccessibilityElement> elements;
    collect(root, elements);
    return elements;
}

std::vector<AccessibilityGaugeElement> accessibilityGauges(const LaidOutNode& root)
{
    std::vector<AccessibilityGaugeElement> gauges;
    collectGauges(root, gauges);
    return gauges;
}

}
