// TavvoWidgetProviderSnapshot: what the host program last knew of one
// provider, with the queries that pick limits out of it.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/HashCombine.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderID.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderStatus.hpp"

#include <optional>
#include <string>
#include <vector>

struct TavvoWidgetProviderSnapshot {
    TavvoWidgetProviderID id;
    std::string title;
    std::optional<std::string> subtitle;
    TavvoWidgetProviderStatus status;
    std::vector<TavvoWidgetLimitSnapshot> limits; // writer order
    std::optional<Foundation::Date> observedAt;
    std::optional<Foundation::Date> freshUntil;
    std::optional<std::string> note;

    // Whether the observation is fresh at `at`: observed at or before `at`,
    // and `at` strictly before `freshUntil`. False when either is absent.
    bool isFresh(Foundation::Date at) const;

    // Limit queries. Each is one pass over `limits` in order; percentages
    // are compared as signed values, without clamping.

    // Whether any limit's remaining percentage is known.
    bool hasKnownLimits() const;

    // The known limit with the least remaining (the first of equals); when
    // none is known, the first limit; nothing for an empty list.
    std::optional<TavvoWidgetLimitSnapshot> bindingLimit() const;

    // A claude record with an observation time and a known percentage keeps
    // showing those last-known values, whatever its status or freshness.
    bool hasLastKnownClaudeLimits() const;

    // For a record fresh at `at`: the known limits whose reset is absent or
    // strictly after `at`, in order; otherwise nothing.
    std::vector<TavvoWidgetLimitSnapshot> limitsForCompactSurface(Foundation::Date at) const;

    friend bool operator==(const TavvoWidgetProviderSnapshot&, const TavvoWidgetProviderSnapshot&) = default;
};

template <>
struct std::hash<TavvoWidgetProviderSnapshot> {
    std::size_t operator()(const TavvoWidgetProviderSnapshot& provider) const noexcept
    {
        std::size_t seed = 0;
        Foundation::hashCombine(seed, Foundation::rawValue(provider.id));
        Foundation::hashCombine(seed, provider.title);
        Foundation::hashCombine(seed, provider.subtitle);
        Foundation::hashCombine(seed, Foundation::rawValue(provider.status));
        Foundation::hashCombine(seed, provider.limits);
        Foundation::hashCombine(seed, provider.observedAt);
        Foundation::hashCombine(seed, provider.freshUntil);
        Foundation::hashCombine(seed, provider.note);
        return seed;
    }
};
