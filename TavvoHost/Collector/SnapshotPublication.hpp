// Publishing a collected snapshot without waking its readers for nothing.
#pragma once

#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

namespace TavvoHost {

// Whether `candidate` says something `stored` does not: the two documents
// differ in anything but `generatedAt`. Nothing stored always differs.
bool differsInContent(const TavvoWidgetSnapshot& candidate, const std::optional<TavvoWidgetSnapshot>& stored);

// Writes `snapshot` through the store unless the stored document holds the
// same content. A stored file that cannot be read or decoded is replaced.
// Returns whether it wrote; throws the store's error when writing fails.
bool publishIfChanged(const TavvoWidgetSnapshotStore& store, const TavvoWidgetSnapshot& snapshot);

}
