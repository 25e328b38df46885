#include "Platform/WidgetKit/WidgetContent.hpp"

namespace WidgetKit {

WidgetContent::WidgetContent(UI::View view)
    : m_view(std::move(view))
{
}

WidgetContent WidgetContent::widgetURL(std::string url) const
{
    auto copy = *this;
    copy.m_url = std::move(url);
    return copy;
}

WidgetContent WidgetContent::containerBackground(UI::View background) const
{
    auto copy = *this;
    copy.m_background = std::move(background);
    return copy;
}

UI::View WidgetContent::composed(UI::Size size) const
{
    UI::Frame const container { .width = size.width, .height = size.height };
    return m_view.frame(container).background(m_background.frame(container));
}

}
