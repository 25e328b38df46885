#include "Platform/UI/Alignment.hpp"

namespace UI {

double alignedOffset(HorizontalAlignment alignment, double space, double child)
{
    switch (alignment) {
    case HorizontalAlignment::leading:
        return 0;
    case HorizontalAlignment::trailing:
        return space - child;
    case HorizontalAlignment::center:
        break;
    }
    return (space - child) / 2;
}

double alignedOffset(VerticalAlignment alignment, double space, double child)
{
    switch (alignment) {
    case VerticalAlignment::top:
    case VerticalAlignment::firstTextBaseline:
        return 0;
    case VerticalAlignment::bottom:
        return space - child;
    case VerticalAlignment::center:
        break;
    }
    return (space - child) / 2;
}

Point alignedOrigin(Alignment alignment, const Rect& space, const Size& child)
{
    return { space.minX() + alignedOffset(alignment.horizontal, space.size.width, child.width),
        space.minY() + alignedOffset(alignment.vertical, space.size.height, child.height) };
}

}
