// Padding, and the modifiers that add it.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

#include <algorithm>

namespace UI {

namespace {

struct Insets {
    double top = 0;
    double leading = 0;
    double bottom = 0;
    double trailing = 0;
};

class PaddingNode final : public ViewNode {
public:
    PaddingNode(View child, Edges edges, double length)
        : m_child(std::move(child))
    {
        double const inset = sanitizedLength(length);
        m_insets = { contains(edges, Edges::top) ? inset : 0, contains(edges, Edges::leading) ? inset : 0,
            contains(edges, Edges::bottom) ? inset : 0, contains(edges, Edges::trailing) ? inset : 0 };
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        auto const child = m_child.node().measure(inset(proposal), environment, pass);
        return { { child.size.width + horizontal(), child.size.height + vertical() }, m_insets.top + child.firstBaseline };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        ProposedSize const childProposal = inset(proposal);
        Size const childSize = m_child.node().measure(childProposal, environment, pass).size;
        Rect const childFrame { { frame.minX() + m_insets.leading, frame.minY() + m_insets.top }, childSize };
        LaidOutNode node;
        node.kind = LaidOutNode::Kind::padding;
        node.frame = frame;
        node.children.push_back(m_child.node().place(childFrame, childProposal, environment, pass));
        return node;
    }

private:
    double horizontal() const { return m_insets.leading + m_insets.trailing; }
    double vertical() const { return m_insets.top + m_insets.bottom; }

    ProposedSize inset(const ProposedSize& proposal) const
    {
        auto shorter = [](std::optional<double> length, double by) -> std::optional<double> {
            if (!length)
                return std::nullopt;
            return std::max(0.0, *length - by);
        };
        return { shorter(proposal.width, horizontal()), shorter(proposal.height, vertical()) };
    }

    View m_child;
    Insets m_insets;
};

}

View View::padding(double length) const
{
    return padding(Edges::all, length);
}

View View::padding(Edges edges, double length) const
{
    return View(std::make_shared<PaddingNode>(*this, edges, length));
}

}
