// The text-attribute modifiers: each changes the environment handed down
// to the view it modifies, and adds nothing to the laid-out tree.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

#include <algorithm>

namespace UI {

namespace {

class EnvironmentNode final : public ViewNode {
public:
    using Change = std::function<void(Environment&)>;

    EnvironmentNode(View child, Change change)
        : m_child(std::move(child))
        , m_change(std::move(change))
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        return m_child.node().measure(proposal, changed(environment), pass);
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        return m_child.node().place(frame, proposal, changed(environment), pass);
    }

private:
    Environment changed(const Environment& environment) const
    {
        Environment result = environment;
        m_change(result);
        return result;
    }

    View m_child;
    Change m_change;
};

View withEnvironment(const View& view, EnvironmentNode::Change change)
{
    return View(std::make_shared<EnvironmentNode>(view, std::move(change)));
}

constexpr double maximumKerning = 100;

}

View View::foregroundColor(Color color) const
{
    return withEnvironment(*this, [color](Environment& environment) { environment.foregroundColor = color; });
}

View View::font(TextStyle style) const
{
    return withEnvironment(*this, [style](Environment& environment) { environment.textStyle = style; });
}

View View::font(Font font) const
{
    return withEnvironment(*this, [font](Environment& environment) {
        environment.textStyle = font.style;
        if (font.weight)
            environment.fontWeight = font.weight;
        environment.fontDesign = font.design;
    });
}

View View::fontWeight(FontWeight weight) const
{
    return withEnvironment(*this, [weight](Environment& environment) { environment.fontWeight = weight; });
}

View View::fontDesign(FontDesign design) const
{
    return withEnvironment(*this, [design](Environment& environment) { environment.fontDesign = design; });
}

View View::kerning(double points) const
{
    double const kerning = bounded(points, -maximumKerning, maximumKerning, 0);
    return withEnvironment(*this, [kerning](Environment& environment) { environment.kerning = kerning; });
}

View View::monospacedDigit() const
{
    return withEnvironment(*this, [](Environment& environment) { environment.monospacedDigit = true; });
}

View View::lineLimit(int lines) const
{
    int const limit = std::max(1, lines);
    return withEnvironment(*this, [limit](Environment& environment) { environment.lineLimit = limit; });
}

// The text measurer clamps the factor, where it is used.
View View::minimumScaleFactor(double factor) const
{
    return withEnvironment(*this, [factor](Environment& environment) { environment.minimumScaleFactor = factor; });
}

}
