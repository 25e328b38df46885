// The view that builds its content from the size it is given, and its
// factory.
#include "Platform/UI/View.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

namespace {

class GeometryReaderNode final : public ViewNode {
public:
    explicit GeometryReaderNode(std::function<View(Size)> content)
        : m_content(std::move(content))
    {
    }

    Measurement measure(const ProposedSize& proposal, const Environment&, LayoutPass&) const override
    {
        Size const size { proposal.width.value_or(0), proposal.height.value_or(0) };
        return { size, size.height };
    }

    // The content is built here rather than in measure(): the reader's size
    // never depends on it, and this runs once per layout.
    LaidOutNode place(const Rect& frame, const ProposedSize&, const Environment& environment,
        LayoutPass& pass) const override
    {
        LaidOutNode node;
        node.kind = LaidOutNode::Kind::geometryReader;
        node.frame = frame;
        View const content = m_content ? m_content(frame.size) : View();
        if (content.isEmpty())
            return node;
        Environment contentEnvironment = environment;
        contentEnvironment.stackAxis.reset();
        ProposedSize const proposal { frame.size.width, frame.size.height };
        Size const size = content.node().measure(proposal, contentEnvironment, pass).size;
        node.children.push_back(content.node().place(Rect { frame.origin, size }, proposal, contentEnvironment, pass));
        return node;
    }

private:
    std::function<View(Size)> m_content;
};

}

View geometryReader(std::function<View(Size)> content)
{
    return View(std::make_shared<GeometryReaderNode>(std::move(content)));
}

}
