// Freshness: whether the data a view shows still counts as current at the
// entry's date. Views take it as a named value, so a call reads
// `Freshness::stale` rather than a bare `true`.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

enum class Freshness { fresh, stale };

// A provider's data at `date`, judged by its own freshness window.
inline Freshness freshness(const TavvoWidgetProviderSnapshot& provider, Foundation::Date date)
{
    return provider.isFresh(date) ? Freshness::fresh : Freshness::stale;
}
