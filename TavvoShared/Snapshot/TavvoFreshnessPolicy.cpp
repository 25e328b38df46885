#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"

namespace TavvoFreshnessPolicy {

using Foundation::addingTimeInterval;
using Foundation::Date;

// The window end saturates at the ends of Date's range, so a huge ttl means
// "fresh until the end of time" rather than an overflow; a NaN ttl leaves
// the end at the observation itself, which is never fresh.

bool isFresh(std::optional<Date> observedAt, Date at, Foundation::TimeInterval ttl)
{
    if (!observedAt || *observedAt > at)
        return false;
    return at < addingTimeInterval(*observedAt, ttl);
}

std::optional<Date> freshUntil(std::optional<Date> observedAt, const std::vector<Date>& limitResetDates,
    Foundation::TimeInterval ttl)
{
    if (!observedAt)
        return std::nullopt;
    Date earliest = addingTimeInterval(*observedAt, ttl);
    for (Date const reset : limitResetDates) {
        if (reset < earliest)
            earliest = reset;
    }
    return earliest;
}

}
