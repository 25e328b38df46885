// Helpers the UI tests share: boxes of a known size, and finding nodes in
// a laid-out tree, meters' capsules among them.
#pragma once

#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/View.hpp"

#include <functional>
#include <utility>
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

// The filled (not stroked) capsules in tree order: a meter's track, then
// its fill.
inline std::vector<std::pair<UI::Rect, UI::Paint>> filledCapsules(const UI::LaidOutNode& root)
{
    std::vector<std::pair<UI::Rect, UI::Paint>> capsules;
    std::function<void(const UI::LaidOutNode&)> visit = [&](const UI::LaidOutNode& node) {
        if (auto const* shape = std::get_if<UI::LaidOutShape>(&node.content); shape && shape->path.kind == UI::ShapeKind::capsule && !shape->stroke)
            capsules.emplace_back(node.frame, shape->paint);
        for (auto const& child : node.children)
            visit(child);
    };
    visit(root);
    return capsules;
}
