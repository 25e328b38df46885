// Flexible space, and its factory.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

#include <algorithm>

namespace UI {

namespace {

class SpacerNode final : public ViewNode {
public:
    explicit SpacerNode(double minLength)
        : m_minLength(sanitizedLength(minLength))
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass&) const override
    {
        auto lengthOn = [&](Axis axis) {
            if (environment.stackAxis && *environment.stackAxis != axis)
                return 0.0;
            return std::max(m_minLength, proposal.along(axis).value_or(m_minLength));
        };
        Size const size { lengthOn(Axis::horizontal), lengthOn(Axis::vertical) };
        return { size, size.height };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize&, const Environment&, LayoutPass&) const override
    {
        LaidOutNode node;
        node.kind = LaidOutNode::Kind::spacer;
        node.frame = frame;
        return node;
    }

private:
    double m_minLength;
};

}

View spacer(double minLength)
{
    return View(std::make_shared<SpacerNode>(minLength));
}

}
