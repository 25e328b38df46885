// TavvoCurrentLimitsWidget: the one widget the extension offers: its kind,
// gallery texts and sizes, the store and provider it reads through, and
// the root view each entry becomes.
#pragma once

#include "Platform/WidgetKit/WidgetConfiguration.hpp"
#include "Platform/WidgetKit/WidgetServices.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include <filesystem>
#include <vector>

struct TavvoCurrentLimitsWidget {
    // Built afresh on every call; nothing is kept between requests.
    WidgetKit::WidgetConfiguration body(const WidgetKit::WidgetServices& services) const;

    // The store the widget reads: the group named by the program's own
    // information dictionary (or the built-in default), in the shared
    // container the services' file manager finds.
    static TavvoWidgetSnapshotStore store(const WidgetKit::WidgetServices& services);

    // The files whose change shows at once: the snapshot (when there is a
    // container) and the language override. They need not exist.
    static std::vector<std::filesystem::path> reloadSources(const TavvoWidgetSnapshotStore& store);
};
