// The stack of layers, and its factory.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

#include <algorithm>

namespace UI {

namespace {

class ZStackNode final : public ViewNode {
public:
    ZStackNode(Alignment alignment, std::vector<View> children)
        : m_alignment(alignment)
    {
        for (auto& child : children) {
            if (!child.isEmpty())
                m_children.push_back(std::move(child));
        }
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        auto const measurements = measureChildren(proposal, environment, pass);
        Size size;
        for (auto const& measurement : measurements) {
            size.width = std::max(size.width, measurement.size.width);
            size.height = std::max(size.height, measurement.size.height);
        }
        if (measurements.empty())
            return {};
        Point const first = alignedOrigin(m_alignment, Rect { {}, size }, measurements.front().size);
        return { size, first.y + measurements.front().firstBaseline };
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        auto const childEnvironment = layerEnvironment(environment);
        auto const measurements = measureChildren(proposal, environment, pass);
        LaidOutNode node;
        node.kind = LaidOutNode::Kind::zstack;
        node.frame = frame;
        for (std::size_t index = 0; index < m_children.size(); ++index) {
            Size const size = measurements[index].size;
            node.children.push_back(m_children[index].node().place(
                Rect { alignedOrigin(m_alignment, frame, size), size }, proposal, childEnvironment, pass));
        }
        return node;
    }

private:
    static Environment layerEnvironment(const Environment& environment)
    {
        Environment layers = environment;
        layers.stackAxis.reset();
        return layers;
    }

    std::vector<Measurement> measureChildren(const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const
    {
        auto const childEnvironment = layerEnvironment(environment);
        std::vector<Measurement> measurements;
        for (auto const& child : m_children)
            measurements.push_back(child.node().measure(proposal, childEnvironment, pass));
        return measurements;
    }

    Alignment m_alignment;
    std::vector<View> m_children;
};

}

View zstack(Alignment alignment, std::vector<View> children)
{
    return View(std::make_shared<ZStackNode>(alignment, std::move(children)));
}

}
