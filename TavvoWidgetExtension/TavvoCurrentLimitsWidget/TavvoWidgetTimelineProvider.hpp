// TavvoWidgetTimelineProvider: answers the widget host. Every answer reads
// the snapshot file afresh through the store and wraps the outcome in one
// entry; the provider also owns the demo document that placeholders and
// previews show, and the rule for when the host should ask again.
#pragma once

#include "Platform/WidgetKit/Timeline.hpp"
#include "Platform/WidgetKit/WidgetServices.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"

#include <functional>

class TavvoWidgetTimelineProvider {
public:
    using Entry = TavvoWidgetEntry;

    // Who an entry is for. A preview (the widget gallery's picture) may
    // show the demo document in place of a missing one; what the widget
    // displays never does.
    enum class EntryPurpose { display, preview };

    // `clock` is read once per request, and only by the three requests.
    TavvoWidgetTimelineProvider(TavvoWidgetSnapshotStore store, WidgetKit::Clock clock);

    const TavvoWidgetSnapshotStore& store() const { return m_store; }

    // The demo document at the present instant; the store is not read.
    TavvoWidgetEntry placeholder(const WidgetKit::TimelineProviderContext& context) const;
    // loadEntry at the present instant, the demo standing in for a missing
    // document in a preview only. Calls `completion` once, before returning.
    void getSnapshot(const WidgetKit::TimelineProviderContext& context, const std::function<void(TavvoWidgetEntry)>& completion) const;
    // One entry at the present instant (never the demo) and the reload date
    // of reloadDate(). Calls `completion` once, before returning.
    void getTimeline(const WidgetKit::TimelineProviderContext& context,
        const std::function<void(WidgetKit::Timeline<TavvoWidgetEntry>)>& completion) const;

    // The entry for `date` from one read of the store:
    //   a read error of any kind: no document, "widget.snapshot_unavailable";
    //   no document (no file, another version): the demo for a preview,
    //     and "widget.open_once" either way;
    //   a document: that document, no message.
    TavvoWidgetEntry loadEntry(Foundation::Date date, EntryPurpose purpose) const;

    // The built-in demo document, every date relative to `now`, fresh at
    // `now`. Touches no file.
    static TavvoWidgetSnapshot demoSnapshot(Foundation::Date now);

    // When to ask again after building an entry at `now`: one second after
    // the earliest provider freshUntil strictly later than `now`, but never
    // later than `now` + 300 seconds.
    //   reloadDate(document freshUntil now + 10 s, now) == now + 11 s
    //   reloadDate(no document, now) == now + 300 s
    static Foundation::Date reloadDate(const std::optional<TavvoWidgetSnapshot>& snapshot, Foundation::Date now);

private:
    TavvoWidgetSnapshotStore m_store;
    WidgetKit::Clock m_clock;
};
