#include "Platform/UI/Layout.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

LaidOutNode layout(const View& view, Size offered, ReduceMotion reduceMotion)
{
    Environment environment;
    environment.reduceMotion = reduceMotion;
    LayoutPass pass;
    ProposedSize const proposal { sanitizedLength(offered.width), sanitizedLength(offered.height) };
    Size const size = view.node().measure(proposal, environment, pass).size;
    return view.node().place(Rect { {}, size }, proposal, environment, pass);
}

}
