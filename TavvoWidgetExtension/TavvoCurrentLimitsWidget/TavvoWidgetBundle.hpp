// TavvoWidgetBundle: everything the extension declares to the host, which
// is exactly one widget.
#pragma once

#include "Platform/WidgetKit/WidgetConfiguration.hpp"
#include "Platform/WidgetKit/WidgetServices.hpp"

#include <vector>

struct TavvoWidgetBundle {
    std::vector<WidgetKit::WidgetConfiguration> body(const WidgetKit::WidgetServices& services) const;
};
