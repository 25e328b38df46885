// Filled and stroked shapes and the gradient view, and their factories.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

namespace {

class ShapeNode final : public ViewNode {
public:
    ShapeNode(LaidOutNode::Kind kind, LaidOutShape shape)
        : m_kind(kind)
        , m_shape(std::move(shape))
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment&, LayoutPass&) const override
    {
        Size const size { proposal.width.value_or(0), proposal.height.value_or(0) };
        return { size, size.height };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize&, const Environment&, LayoutPass&) const override
    {
        LaidOutNode node;
        node.kind = m_kind;
        node.frame = frame;
        node.content = m_shape;
        return node;
    }

private:
    LaidOutNode::Kind m_kind;
    LaidOutShape m_shape;
};

}

View Shape::fill(Paint paint) const
{
    return View(std::make_shared<ShapeNode>(LaidOutNode::Kind::shape, LaidOutShape { m_path, std::move(paint), std::nullopt }));
}

View Shape::stroke(Paint paint, StrokeStyle style) const
{
    return View(
        std::make_shared<ShapeNode>(LaidOutNode::Kind::shape, LaidOutShape { m_path, std::move(paint), style.sanitized() }));
}

Shape rectangle()
{
    return Shape(ShapePath { ShapeKind::rectangle });
}

Shape circle()
{
    return Shape(ShapePath { ShapeKind::circle });
}

Shape capsule()
{
    return Shape(ShapePath { ShapeKind::capsule });
}

Shape roundedRectangle(double cornerRadius)
{
    return Shape(ShapePath { .kind = ShapeKind::roundedRectangle, .cornerRadius = sanitizedLength(cornerRadius) });
}

Shape trimmedCircle(double from, double to)
{
    return Shape(ShapePath { ShapeKind::circle, sanitizedFraction(from), sanitizedFraction(to) });
}

View linearGradient(std::vector<GradientStop> stops, UnitPoint startPoint, UnitPoint endPoint)
{
    LaidOutShape shape { ShapePath { ShapeKind::rectangle }, LinearGradient { std::move(stops), startPoint, endPoint },
        std::nullopt };
    return View(std::make_shared<ShapeNode>(LaidOutNode::Kind::linearGradient, std::move(shape)));
}

}
