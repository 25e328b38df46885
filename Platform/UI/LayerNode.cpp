// Backgrounds and overlays, and the modifiers that add them.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

namespace {

class LayerNode final : public ViewNode {
public:
    LayerNode(LaidOutNode::Kind kind, View content, View layer, Alignment alignment)
        : m_kind(kind)
        , m_content(std::move(content))
        , m_layer(std::move(layer))
        , m_alignment(alignment)
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment& environment, LayoutPass& pass) const override
    {
        return m_content.node().measure(proposal, environment, pass);
    }

    LaidOutNode place(const Rect& frame, const ProposedSize& proposal, const Environment& environment,
        LayoutPass& pass) const override
    {
        LaidOutNode node;
        node.kind = m_kind;
        node.frame = frame;
        node.children.push_back(m_content.node().place(frame, proposal, environment, pass));

        Environment layerEnvironment = environment;
        layerEnvironment.stackAxis.reset();
        ProposedSize const layerProposal { frame.size.width, frame.size.height };
        Size const layerSize = m_layer.node().measure(layerProposal, layerEnvironment, pass).size;
        Rect const layerFrame { alignedOrigin(m_alignment, frame, layerSize), layerSize };
        node.children.push_back(m_layer.node().place(layerFrame, layerProposal, layerEnvironment, pass));
        return node;
    }

private:
    LaidOutNode::Kind m_kind;
    View m_content;
    View m_layer;
    Alignment m_alignment;
};

}

View View::background(View layer, Alignment alignment) const
{
    return View(std::make_shared<LayerNode>(LaidOutNode::Kind::background, *this, std::move(layer), alignment));
}

View View::overlay(View layer, Alignment alignment) const
{
    return View(std::make_shared<LayerNode>(LaidOutNode::Kind::overlay, *this, std::move(layer), alignment));
}

}
