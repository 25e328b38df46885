// The modifier that keeps a view at its ideal length on some axes.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

namespace {

class FixedSizeNode final : public ViewNode {
public:
    FixedSizeNode(View child, Axes axes)
        : m_child(std::move(child))
        , m_axes(axes)
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        return m_child.node().measure(childProposal(proposal), environment, pass);
    }

    // Adds nothing to the laid-out tree: the child's frame is the whole story.
    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        return m_child.node().place(frame, childProposal(proposal), environment, pass);
    }

private:
    ProposedSize childProposal(const ProposedSize& proposal) const
    {
        return { contains(m_axes, Axis::horizontal) ? std::nullopt : proposal.width,
            contains(m_axes, Axis::vertical) ? std::nullopt : proposal.height };
    }

    View m_child;
    Axes m_axes;
};

}

View View::fixedSize(Axes axes) const
{
    return View(std::make_shared<FixedSizeNode>(*this, axes));
}

}
