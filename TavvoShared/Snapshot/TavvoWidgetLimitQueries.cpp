// The queries that decide which of a provider's limits a display uses.
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

#include <algorithm>

namespace {

bool isKnown(const TavvoWidgetLimitSnapshot& limit)
{
    return limit.remainingPercent.has_value();
}

}

bool TavvoWidgetProviderSnapshot::hasKnownLimits() const
{
    return std::any_of(limits.begin(), limits.end(), isKnown);
}

std::optional<TavvoWidgetLimitSnapshot> TavvoWidgetProviderSnapshot::bindingLimit() const
{
    TavvoWidgetLimitSnapshot const* choice = nullptr;
    for (auto const& limit : limits) {
        if (isKnown(limit) && (choice == nullptr || *limit.remainingPercent < *choice->remainingPercent))
            choice = &limit;
    }
    if (choice != nullptr)
        return *choice;
    if (limits.empty())
        return std::nullopt;
    return limits.front();
}

bool TavvoWidgetProviderSnapshot::hasLastKnownClaudeLimits() const
{
    return id == TavvoWidgetProviderID::claude && observedAt.has_value() && hasKnownLimits();
}

std::vector<TavvoWidgetLimitSnapshot> TavvoWidgetProviderSnapshot::limitsForCompactSurface(Foundation::Date at) const
{
    std::vector<TavvoWidgetLimitSnapshot> shown;
    if (!isFresh(at))
        return shown;
    for (auto const& limit : limits) {
        if (isKnown(limit) && (!limit.resetDate || *limit.resetDate > at))
            shown.push_back(limit);
    }
    return shown;
}
