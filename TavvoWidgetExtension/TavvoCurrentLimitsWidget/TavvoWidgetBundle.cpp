#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetBundle.hpp"

#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoCurrentLimitsWidget.hpp"

std::vector<WidgetKit::WidgetConfiguration> TavvoWidgetBundle::body(const WidgetKit::WidgetServices& services) const
{
    return { TavvoCurrentLimitsWidget().body(services) };
}
