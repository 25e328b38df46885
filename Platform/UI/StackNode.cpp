// The vertical and horizontal stacks, and the factories that make them.
#include "Platform/UI/View.hpp"

#include "Platform/UI/SpaceSharing.hpp"
#include "Platform/UI/ViewNode.hpp"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace UI {

namespace {

// Numbers each stack the program makes, never giving out a number twice,
// so that a layout pass cannot take a stack built during the pass for one
// that is gone (see LayoutPass). Views may be built on several threads.
std::atomic<std::uint64_t> stacksMade { 0 };

class StackNode final : public ViewNode {
public:
    // Only the part of `alignment` across `axis` is used.
    StackNode(Axis axis, Alignment alignment, double spacing, std::vector<View> children)
        : m_axis(axis)
        , m_alignment(alignment)
        , m_spacing(sanitizedLength(spacing))
    {
        for (auto& child : children) {
            if (!child.isEmpty())
                m_children.push_back(std::move(child));
        }
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        auto const& arrangement = arrange(proposal, environment, pass);
        return { arrangement.size, arrangement.firstBaseline };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        auto const& arrangement = arrange(proposal, environment, pass);
        auto const childEnvironment = childrenEnvironment(environment);
        LaidOutNode node;
        node.kind = m_axis == Axis::horizontal ? LaidOutNode::Kind::hstack : LaidOutNode::Kind::vstack;
        node.frame = frame;
        for (std::size_t index = 0; index < m_children.size(); ++index) {
            Point const offset = arrangement.offsets[index];
            Rect const childFrame { { frame.minX() + offset.x, frame.minY() + offset.y },
                arrangement.measurements[index].size };
            node.children.push_back(
                m_children[index].node().place(childFrame, arrangement.proposals[index], childEnvironment, pass));
        }
        return node;
    }

private:
    Environment childrenEnvironment(const Environment& environment) const
    {
        Environment children = environment;
        children.stackAxis = m_axis;
        return children;
    }

    // Measures the children: step one for the stack, and the sizes step two
    // places them at.
    const StackArrangement& arrange(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const
    {
        if (auto const* known = pass.stackArrangement(m_number, proposal, environment))
            return *known;
        return pass.rememberStackArrangement(m_number, proposal, environment, arrangeAnew(proposal, environment, pass));
    }

    StackArrangement arrangeAnew(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const
    {
        auto const childEnvironment = childrenEnvironment(environment);
        std::size_t const count = m_children.size();
        std::optional<double> const across = proposal.across(m_axis);
        StackArrangement arrangement;
        arrangement.proposals.resize(count);
        arrangement.measurements.resize(count);
        auto measureChild = [&](std::size_t index, std::optional<double> along) {
            auto const childProposal = ProposedSize::oriented(m_axis, along, across);
            arrangement.proposals[index] = childProposal;
            arrangement.measurements[index] = m_children[index].node().measure(childProposal, childEnvironment, pass);
            return length(arrangement.measurements[index].size, m_axis);
        };
        auto lengthAt = [&](std::size_t index, double along) {
            return length(
                m_children[index].node().measure(ProposedSize::oriented(m_axis, along, across), childEnvironment, pass).size,
                m_axis);
        };

        double const spacings = count > 1 ? m_spacing * static_cast<double>(count - 1) : 0;
        if (auto const along = proposal.along(m_axis)) {
            std::vector<ChildFlexibility> flexibilities(count);
            for (std::size_t index = 0; index < count; ++index)
                flexibilities[index] = { lengthAt(index, 0), lengthAt(index, maximumLength) };
            // Asks each child once more, through measureChild, which keeps
            // the proposal and the answer for placing.
            shareSpace(*along - spacings, flexibilities, measureChild);
        } else {
            for (std::size_t index = 0; index < count; ++index)
                measureChild(index, std::nullopt);
        }

        placeAlong(arrangement);
        placeAcross(arrangement);
        return arrangement;
    }

    void placeAlong(StackArrangement& arrangement) const
    {
        arrangement.offsets.resize(arrangement.measurements.size());
        double position = 0;
        for (std::size_t index = 0; index < arrangement.measurements.size(); ++index) {
            if (index > 0)
                position += m_spacing;
            (m_axis == Axis::horizontal ? arrangement.offsets[index].x : arrangement.offsets[index].y) = position;
            position += length(arrangement.measurements[index].size, m_axis);
        }
        (m_axis == Axis::horizontal ? arrangement.size.width : arrangement.size.height) = position;
    }

    void placeAcross(StackArrangement& arrangement) const
    {
        auto const& measurements = arrangement.measurements;
        Axis const across = otherAxis(m_axis);
        double extent = 0;
        if (m_axis == Axis::horizontal && m_alignment.vertical == VerticalAlignment::firstTextBaseline) {
            double baseline = 0;
            for (auto const& measurement : measurements)
                baseline = std::max(baseline, measurement.firstBaseline);
            for (std::size_t index = 0; index < measurements.size(); ++index) {
                arrangement.offsets[index].y = baseline - measurements[index].firstBaseline;
                extent = std::max(extent, arrangement.offsets[index].y + measurements[index].size.height);
            }
            arrangement.size.height = extent;
            arrangement.firstBaseline = baseline;
            return;
        }

        for (auto const& measurement : measurements)
            extent = std::max(extent, length(measurement.size, across));
        for (std::size_t index = 0; index < measurements.size(); ++index) {
            double const childLength = length(measurements[index].size, across);
            if (m_axis == Axis::horizontal)
                arrangement.offsets[index].y = alignedOffset(m_alignment.vertical, extent, childLength);
            else
                arrangement.offsets[index].x = alignedOffset(m_alignment.horizontal, extent, childLength);
        }
        (m_axis == Axis::horizontal ? arrangement.size.height : arrangement.size.width) = extent;
        arrangement.firstBaseline = measurements.empty()
            ? arrangement.size.height
            : arrangement.offsets.front().y + measurements.front().firstBaseline;
    }

    Axis m_axis;
    Alignment m_alignment;
    double m_spacing;
    std::vector<View> m_children;
    // What the layout pass files this stack's arrangements under.
    std::uint64_t const m_number = stacksMade.fetch_add(1, std::memory_order_relaxed);
};

}

View vstack(HorizontalAlignment alignment, double spacing, std::vector<View> children)
{
    return View(std::make_shared<StackNode>(
        Axis::vertical, Alignment { alignment, VerticalAlignment::top }, spacing, std::move(children)));
}

View hstack(VerticalAlignment alignment, double spacing, std::vector<View> children)
{
    return View(std::make_shared<StackNode>(
        Axis::horizontal, Alignment { HorizontalAlignment::leading, alignment }, spacing, std::move(children)));
}

}
