#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

namespace {

class EmptyNode final : public ViewNode {
public:
    Measurement measure(const ProposedSize&, const Environment&, LayoutPass&) const override { return {}; }

    LaidOutNode place(const Rect& frame, const ProposedSize&, const Environment&, LayoutPass&) const override
    {
        LaidOutNode node;
        node.frame = frame;
        return node;
    }
};

// All empty views share one node, which is how stacks recognise them.
const std::shared_ptr<const ViewNode>& emptyNode()
{
    static std::shared_ptr<const ViewNode> const node = std::make_shared<EmptyNode>();
    return node;
}

}

View::View()
    : m_node(emptyNode())
{
}

View::View(std::shared_ptr<const ViewNode> node)
    : m_node(node ? std::move(node) : emptyNode())
{
}

bool View::isEmpty() const
{
    return m_node == emptyNode();
}

}
