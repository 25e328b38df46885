#include "Platform/UI/Layout.hpp"

#include "Platform/UI/ViewNode.hpp"

namespace UI {

LaidOutNode layout(const View& view, Size offered, ReduceMotion reduceMotion)
{
    Environment environment;
    environment.reduceMotion = reduceMotion;
    TextMeasurer texts;
    ProposedSize const proposal { sanitizedLength(offered.width), sanitizedLength(offered.height) };
    Size const size = view.node().measure(proposal, environment, texts).size;
    return view.node().place(Rect { {}, size }, proposal, environment, texts);
}

}
