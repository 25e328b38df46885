// TavvoCurrentLimitsWidget: the one widget the extension offers: its kind,
// gallery texts and sizes, the store and provider it reads through, and
// the root view each entry becomes.
#pragma once

#include "Platform/WidgetKit/WidgetConfiguration.hpp"
#include "Platform/WidgetKit/WidgetServices.hpp"

struct TavvoCurrentLimitsWidget {
    // Built afresh on every call; nothing is kept between requests. The
    // store belongs to the group named by the program's own information
    // dictionary (or the built-in default), in the shared container the
    // services' file manager finds.
    WidgetKit::WidgetConfiguration body(const WidgetKit::WidgetServices& services) const;
};
