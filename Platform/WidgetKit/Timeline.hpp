// The answers a timeline provider gives the host: the context it is asked
// in, and a timeline of entries with the date to ask again.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/JSONWriter.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/WidgetKit/WidgetFamily.hpp"

#include <concepts>
#include <vector>

namespace WidgetKit {

// What an entry of a timeline must offer: the instant it describes, and a
// description of itself as one JSON value for the host's command line,
// written into the host's writer where the host nests it:
// writeJSON(Foundation::JSONWriter&, const Entry&), found by
// argument-dependent lookup.
template <class Entry>
concept TimelineEntry = std::copy_constructible<Entry> && requires(const Entry& entry, Foundation::JSONWriter& writer) {
    { entry.date } -> std::convertible_to<Foundation::Date>;
    writeJSON(writer, entry);
};

struct TimelineProviderContext {
    WidgetFamily family;
    UI::Size displaySize;
    // The host asks for a picture for its widget gallery, not for the
    // widget on the desktop.
    bool isPreview;
};

// When the host asks for the next timeline: at or after `date`. It is the
// only policy this host knows.
struct TimelineReloadPolicy {
    Foundation::Date date;

    static TimelineReloadPolicy after(Foundation::Date date) { return { date }; }

    friend bool operator==(const TimelineReloadPolicy&, const TimelineReloadPolicy&) = default;
};

template <TimelineEntry Entry>
struct Timeline {
    std::vector<Entry> entries;
    TimelineReloadPolicy policy;
};

}
