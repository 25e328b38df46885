#include "Platform/UI/Font.hpp"

namespace UI {

double pointSize(TextStyle style)
{
    switch (style) {
    case TextStyle::headline:
        return 13;
    case TextStyle::subheadline:
        return 11;
    case TextStyle::callout:
        return 12;
    case TextStyle::caption:
    case TextStyle::caption2:
        return 10;
    case TextStyle::body:
        break;
    }
    return 13;
}

FontWeight defaultWeight(TextStyle style)
{
    return style == TextStyle::headline ? FontWeight::semibold : FontWeight::regular;
}

std::string_view fontFamilies()
{
    return "DejaVu Sans, WenQuanYi Micro Hei";
}

}
