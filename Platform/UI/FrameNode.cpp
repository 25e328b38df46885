// Frames, and the modifier that adds one.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

#include <algorithm>

namespace UI {

namespace {

// What a frame does along one axis.
struct FrameLength {
    std::optional<double> fixed;
    std::optional<double> maximum;

    std::optional<double> childProposal(std::optional<double> proposal) const
    {
        if (fixed)
            return fixed;
        if (maximum && proposal)
            return std::min(*proposal, *maximum);
        return proposal;
    }

    double length(std::optional<double> proposal, double child) const
    {
        if (fixed)
            return *fixed;
        if (maximum)
            return std::min(*maximum, std::max(child, proposal.value_or(child)));
        return child;
    }
};

std::optional<double> sanitized(std::optional<double> length)
{
    if (!length)
        return std::nullopt;
    return sanitizedLength(*length);
}

class FrameNode final : public ViewNode {
public:
    FrameNode(View child, const Frame& frame, Alignment alignment)
        : m_child(std::move(child))
        , m_width { sanitized(frame.width), sanitized(frame.maxWidth) }
        , m_height { sanitized(frame.height), sanitized(frame.maxHeight) }
        , m_alignment(alignment)
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        auto const child = m_child.node().measure(childProposal(proposal), environment, pass);
        Size const size = frameSize(proposal, child.size);
        return { size, alignedOrigin(m_alignment, Rect { {}, size }, child.size).y + child.firstBaseline };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        ProposedSize const proposalForChild = childProposal(proposal);
        Size const childSize = m_child.node().measure(proposalForChild, environment, pass).size;
        LaidOutNode node;
        node.kind = LaidOutNode::Kind::frame;
        node.frame = frame;
        Rect const childFrame { alignedOrigin(m_alignment, frame, childSize), childSize };
        node.children.push_back(m_child.node().place(childFrame, proposalForChild, environment, pass));
        return node;
    }

private:
    ProposedSize childProposal(const ProposedSize& proposal) const
    {
        return { m_width.childProposal(proposal.width), m_height.childProposal(proposal.height) };
    }

    Size frameSize(const ProposedSize& proposal, const Size& child) const
    {
        return { m_width.length(proposal.width, child.width), m_height.length(proposal.height, child.height) };
    }

    View m_child;
    FrameLength m_width;
    FrameLength m_height;
    Alignment m_alignment;
};

}

View View::frame(const Frame& frame, Alignment alignment) const
{
    return View(std::make_shared<FrameNode>(*this, frame, alignment));
}

}
