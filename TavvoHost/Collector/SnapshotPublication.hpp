// Publishing a collected snapshot without waking its readers for nothing.
//
// A provider without an observation (not installed, nothing fed yet, a
// folder that cannot be read) is stamped with the time it was checked, so
// that the widget shows its status and note while that check is recent.
// Every pass checks again, but a new check time alone is not news: the
// previous one is kept until half of its fresh window has passed, and
// only then renewed.
#pragma once

#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

namespace TavvoHost {

// Whether `candidate` says something `stored` does not: the two documents
// differ in anything but `generatedAt`. Nothing stored always differs.
bool differsInContent(const TavvoWidgetSnapshot& candidate, const std::optional<TavvoWidgetSnapshot>& stored);

// `candidate` with the check times of `previous` kept for each provider
// without an observation that is otherwise unchanged and whose check is
// younger than half of `ttl` at the candidate's `generatedAt`.
TavvoWidgetSnapshot keepingRecentChecks(TavvoWidgetSnapshot candidate, const std::optional<TavvoWidgetSnapshot>& previous,
    std::chrono::seconds ttl);

// When the oldest check time in `snapshot` must be renewed for its
// provider to stay fresh; nothing when every provider has an observation.
std::optional<Foundation::Date> checkRenewalDue(const TavvoWidgetSnapshot& snapshot, std::chrono::seconds ttl);

// Writes `snapshot` (its recent checks kept) through the store unless the
// stored document holds the same content, and returns the document the
// store now holds. A stored file that cannot be read or decoded is
// replaced. Throws the store's error when writing fails.
TavvoWidgetSnapshot publishIfChanged(const TavvoWidgetSnapshotStore& store, const TavvoWidgetSnapshot& snapshot,
    std::chrono::seconds ttl);

}
