#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

// The record's own window, with no time-to-live: the writer already chose
// `freshUntil`.
bool TavvoWidgetProviderSnapshot::isFresh(Foundation::Date at) const
{
    if (!observedAt || !freshUntil || *observedAt > at)
        return false;
    return at < *freshUntil;
}
