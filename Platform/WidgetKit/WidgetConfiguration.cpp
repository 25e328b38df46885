#include "Platform/WidgetKit/WidgetConfiguration.hpp"

namespace WidgetKit {

WidgetConfiguration::WidgetConfiguration(std::string kind, EntryRequest placeholder, EntryRequest snapshot, TimelineRequest timeline)
    : m_kind(std::move(kind))
    , m_placeholder(std::move(placeholder))
    , m_snapshot(std::move(snapshot))
    , m_timeline(std::move(timeline))
    , m_families(allWidgetFamilies.begin(), allWidgetFamilies.end())
{
}

WidgetConfiguration WidgetConfiguration::configurationDisplayName(Text displayName) const
{
    auto copy = *this;
    copy.m_displayName = std::move(displayName);
    return copy;
}

WidgetConfiguration WidgetConfiguration::description(Text description) const
{
    auto copy = *this;
    copy.m_description = std::move(description);
    return copy;
}

WidgetConfiguration WidgetConfiguration::supportedFamilies(std::vector<WidgetFamily> families) const
{
    auto copy = *this;
    copy.m_families = std::move(families);
    return copy;
}

WidgetConfiguration WidgetConfiguration::reloadsWhenChanged(Files files) const
{
    auto copy = *this;
    copy.m_reloadSources = std::move(files);
    return copy;
}

std::vector<std::filesystem::path> WidgetConfiguration::reloadSources() const
{
    return m_reloadSources ? m_reloadSources() : std::vector<std::filesystem::path>();
}

std::string WidgetConfiguration::displayName() const
{
    return m_displayName ? m_displayName() : m_kind;
}

std::string WidgetConfiguration::description() const
{
    return m_description ? m_description() : std::string();
}

}
