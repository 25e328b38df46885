#include "TavvoHost/Collector/SnapshotPublication.hpp"

#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include <exception>

namespace TavvoHost {

bool differsInContent(const TavvoWidgetSnapshot& candidate, const std::optional<TavvoWidgetSnapshot>& stored)
{
    if (!stored)
        return true;
    // Compared as the documents the widget reads, so that whatever the
    // file cannot hold (sub-second parts of a date) never counts as news.
    TavvoWidgetSnapshot sameTime = candidate;
    sameTime.generatedAt = stored->generatedAt;
    auto const encoder = TavvoWidgetJSONEncoder::tavvoWidget();
    return encoder.encode(sameTime) != encoder.encode(*stored);
}

bool publishIfChanged(const TavvoWidgetSnapshotStore& store, const TavvoWidgetSnapshot& snapshot)
{
    std::optional<TavvoWidgetSnapshot> stored;
    try {
        stored = store.readSnapshot();
    } catch (const std::exception&) {
        // A damaged or unreadable file is exactly what a new write mends.
    }
    if (!differsInContent(snapshot, stored))
        return false;
    store.writeSnapshot(snapshot);
    return true;
}

}
