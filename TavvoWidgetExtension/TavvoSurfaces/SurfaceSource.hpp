// SurfaceSource: what the widget's other surfaces (status-bar lines,
// desktop notifications) read: the very entry the widget would show now,
// the folders whose changes call for a new one, and when time alone does.
// They reuse the widget's decisions rather than making their own.
#pragma once

#include "Platform/Foundation/WatchedPasses.hpp"
#include "Platform/WidgetKit/WidgetServices.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"

#include <functional>
#include <optional>
#include <vector>

namespace TavvoSurfaces {

class SurfaceSource {
public:
    explicit SurfaceSource(const WidgetKit::WidgetServices& services);

    // The lent clock's present instant.
    Foundation::Date now() const { return m_clock(); }

    // The entry the widget's timeline would show at `date`: the document,
    // or no document and the localized reason (never the demo).
    TavvoWidgetEntry entry(Foundation::Date date) const;

    // The snapshot's folder and the language override's, by name; a folder
    // not made yet is stood in for by its nearest existing ancestor.
    std::vector<Foundation::WatchedFolder> watchedFolders() const;

    // Runs `pass` at start and again whenever the snapshot is replaced,
    // the language changes, or `nextTimedPassAt` comes, until SIGTERM,
    // SIGINT or (when `output` is given) its reader going away. The
    // reload date of the widget's timeline is always among the timed
    // passes, so freshness that ends is noticed.
    void watch(const std::function<void(const TavvoWidgetEntry&)>& pass,
        const std::function<std::optional<Foundation::Date>(const TavvoWidgetEntry&, Foundation::Date now)>& nextTimedPassAt,
        std::optional<int> output) const;

private:
    TavvoWidgetTimelineProvider m_provider;
    WidgetKit::Clock m_clock;
};

} // namespace TavvoSurfaces
