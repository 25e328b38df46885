#include "Platform/WidgetKit/WidgetHost.hpp"

#include "Platform/UI/Layout.hpp"

#include <algorithm>
#include <string>

namespace WidgetKit {

WidgetHost::WidgetHost(WidgetConfiguration widget)
    : m_widget(std::move(widget))
{
}

TimelineProviderContext WidgetHost::context(WidgetFamily family, bool isPreview) const
{
    auto const& families = m_widget.supportedFamilies();
    if (std::find(families.begin(), families.end(), family) == families.end())
        throw UnsupportedFamilyError("the widget " + m_widget.kind() + " does not offer " + std::string(name(family)));
    return { family, size(family), isPreview };
}

HostedEntry WidgetHost::placeholder(WidgetFamily family) const
{
    return m_widget.placeholder(context(family, false));
}

HostedEntry WidgetHost::snapshot(WidgetFamily family, bool isPreview) const
{
    return m_widget.snapshot(context(family, isPreview));
}

HostedTimeline WidgetHost::timeline(WidgetFamily family) const
{
    return m_widget.timeline(context(family, false));
}

HostedEntry WidgetHost::entry(Request request, WidgetFamily family) const
{
    switch (request) {
    case Request::placeholder:
        return placeholder(family);
    case Request::snapshot:
        return snapshot(family, false);
    case Request::preview:
        return snapshot(family, true);
    case Request::timeline:
        break;
    }
    auto answer = timeline(family);
    if (answer.entries.empty())
        throw std::logic_error("the widget " + m_widget.kind() + " answered a timeline without entries");
    return std::move(answer.entries.front());
}

UI::LaidOutNode WidgetHost::layout(const HostedEntry& entry, WidgetFamily family, UI::ReduceMotion reduceMotion) const
{
    auto const containerSize = size(family);
    return UI::layout(entry.content(family).composed(containerSize), containerSize, reduceMotion);
}

}
