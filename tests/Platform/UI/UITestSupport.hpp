// Helpers the UI tests share: boxes of a known size, and finding nodes in
// a laid-out tree.
#pragma once

#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/View.hpp"

#include <functional>
#include <vector>

// A filled shape framed to exactly width × height.
inline UI::View box(double width, double height)
{
    return UI::capsule().fill(UI::Color::primary()).frame({ .width = width, .height = height });
}

// Every node of `root` (itself included) that `match` accepts, in tree order.
inline std::vector<const UI::LaidOutNode*> findNodes(
    const UI::LaidOutNode& root, const std::function<bool(const UI::LaidOutNode&)>& match)
{
    std::vector<const UI::LaidOutNode*> found;
    std::function<void(const UI::LaidOutNode&)> visit = [&](const UI::LaidOutNode& node) {
        if (match(node))
            found.push_back(&node);
        for (auto const& child : node.children)
            visit(child);
    };
    visit(root);
    return found;
}

inline std::vector<const UI::LaidOutNode*> nodesOfKind(const UI::LaidOutNode& root, UI::LaidOutNode::Kind kind)
{
    return findNodes(root, [kind](const UI::LaidOutNode& node) { return node.kind == kind; });
}
