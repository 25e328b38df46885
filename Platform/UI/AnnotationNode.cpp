// The modifiers that leave layout alone and only annotate the laid-out node
// of the view they modify: opacity, rotation, accessibility and animation.
// Applied more than once to the same view, opacities multiply, rotations
// add up, and for the rest the modifier closest to the view wins (a view
// is hidden when any of them hides it).
#include "Platform/UI/View.hpp"

#include "Platform/UI/ValidUTF8.hpp"
#include "Platform/UI/ViewNode.hpp"

#include <algorithm>
#include <cmath>

namespace UI {

namespace {

class AnnotationNode final : public ViewNode {
public:
    using Annotate = std::function<void(LaidOutNode&, const Environment&)>;

    AnnotationNode(View child, Annotate annotate)
        : m_child(std::move(child))
        , m_annotate(std::move(annotate))
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        return m_child.node().measure(proposal, environment, pass);
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        LaidOutNode node = m_child.node().place(frame, proposal, environment, pass);
        m_annotate(node, environment);
        return node;
    }

private:
    View m_child;
    Annotate m_annotate;
};

View annotated(const View& view, AnnotationNode::Annotate annotate)
{
    return View(std::make_shared<AnnotationNode>(view, std::move(annotate)));
}

// A full turn either way is the same picture, so the angle is kept within
// one, which keeps a huge angle from losing all precision.
double normalizedDegrees(double degrees)
{
    if (!std::isfinite(degrees))
        return 0;
    return std::fmod(degrees, 360.0);
}

}

View View::opacity(double opacity) const
{
    double const factor = sanitizedFraction(opacity);
    return annotated(*this, [factor](LaidOutNode& node, const Environment&) { node.opacity *= factor; });
}

View View::rotation(double degrees) const
{
    double const angle = normalizedDegrees(degrees);
    return annotated(*this, [angle](LaidOutNode& node, const Environment&) {
        node.rotation = normalizedDegrees(node.rotation + angle);
    });
}

View View::accessibilityLabel(std::string label) const
{
    return annotated(*this, [label = validUTF8(label)](LaidOutNode& node, const Environment&) {
        if (!node.accessibility.label)
            node.accessibility.label = label;
    });
}

View View::accessibilityHidden(bool hidden) const
{
    return annotated(*this, [hidden](LaidOutNode& node, const Environment&) { node.accessibility.hidden |= hidden; });
}

View View::accessibilityElement(AccessibilityChildBehavior children) const
{
    return annotated(*this, [children](LaidOutNode& node, const Environment&) {
        if (!node.accessibility.children)
            node.accessibility.children = children;
    });
}

View View::accessibilityGauge(AccessibilityGauge gauge) const
{
    gauge.label = validUTF8(gauge.label);
    gauge.description = validUTF8(gauge.description);
    gauge.value = std::isnan(gauge.value) ? 0 : std::clamp(gauge.value, 0.0, 100.0);
    return annotated(*this, [gauge = std::move(gauge)](LaidOutNode& node, const Environment&) {
        if (!node.accessibility.gauge)
            node.accessibility.gauge = gauge;
    });
}

View View::animation(std::optional<Animation> animation, double value) const
{
    if (!animation)
        return *this;
    Animation const sanitized { animation->curve, sanitizedLength(animation->duration) };
    double const recordedValue = std::isfinite(value) ? value : 0;
    return annotated(*this, [sanitized, recordedValue](LaidOutNode& node, const Environment& environment) {
        if (!node.animation)
            node.animation = AnimationNote { sanitized, recordedValue, environment.reduceMotion == ReduceMotion::off };
    });
}

}
