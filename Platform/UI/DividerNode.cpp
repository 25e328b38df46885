// The thin rule between the parts of a stack, and its factory.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

namespace {

constexpr double thickness = 1;

class DividerNode final : public ViewNode {
public:
    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass&) const override
    {
        // Across its stack it is thin; along the stack's other axis it is as
        // long as offered (nothing when asked for its ideal length).
        Axis const thin = environment.stackAxis.value_or(Axis::vertical);
        Axis const along = otherAxis(thin);
        double const extent = proposal.along(along).value_or(0);
        Size const size = thin == Axis::horizontal ? Size { thickness, extent } : Size { extent, thickness };
        return { size, size.height };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize&, const Environment&, LayoutPass&) const override
    {
        LaidOutNode node;
        node.kind = LaidOutNode::Kind::divider;
        node.frame = frame;
        node.content = LaidOutShape { ShapePath { ShapeKind::rectangle }, Color::separator(), std::nullopt };
        return node;
    }
};

}

View divider()
{
    return View(std::make_shared<DividerNode>());
}

}
