#include "Platform/WidgetKit/WidgetHost.hpp"

#include "Platform/UI/Layout.hpp"

#include <algorithm>
#include <string>

namespace WidgetKit {

WidgetHost::WidgetHost(WidgetConfiguration widget)
    : m_widget(std::move(widget))
{
}

TimelineProviderContext WidgetHost::context(WidgetFamily family, Request request) const
{
    auto const& families = m_widget.supportedFamilies();
    if (std::find(families.begin(), families.end(), family) == families.end())
        throw UnsupportedFamilyError("the widget " + m_widget.kind() + " does not offer " + std::string(name(family)));
    return { family, size(family), request == Request::preview };
}

HostedEntry WidgetHost::placeholder(WidgetFamily family) const
{
    return m_widget.placeholder(context(family, Request::placeholder));
}

HostedTimeline WidgetHost::timeline(WidgetFamily family) const
{
    return m_widget.timeline(context(family, Request::timeline));
}

HostedEntry WidgetHost::entry(Request request, WidgetFamily family) const
{
    switch (request) {
    case Request::placeholder:
        return placeholder(family);
    case Request::snapshot:
    case Request::preview:
        return m_widget.snapshot(context(family, request));
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
