// TavvoWidgetSnapshot: the document the host program publishes and the
// widget reads.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/HashCombine.hpp"
#include "TavvoShared/Snapshot/CodexAnalyticsSummary.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"

#include <cstdint>
#include <optional>
#include <vector>

struct TavvoWidgetSnapshot {
    // The only version the store hands out; documents of any other version
    // are treated as absent. Writers pass it explicitly: there is no default.
    static constexpr std::int64_t currentSchemaVersion = 4;

    std::int64_t schemaVersion;
    Foundation::Date generatedAt;
    std::vector<TavvoWidgetProviderSnapshot> providers; // writer order
    std::optional<CodexAnalyticsSummary> codexAnalytics;

    // The first record for `id`; later records with the same id are never
    // found.
    std::optional<TavvoWidgetProviderSnapshot> provider(TavvoWidgetProviderID id) const;

    friend bool operator==(const TavvoWidgetSnapshot&, const TavvoWidgetSnapshot&) = default;
};

template <>
struct std::hash<TavvoWidgetSnapshot> {
    std::size_t operator()(const TavvoWidgetSnapshot& snapshot) const noexcept
    {
        std::size_t seed = 0;
        Foundation::hashCombine(seed, snapshot.schemaVersion);
        Foundation::hashCombine(seed, snapshot.generatedAt);
        Foundation::hashCombine(seed, snapshot.providers);
        Foundation::hashCombine(seed, snapshot.codexAnalytics);
        return seed;
    }
};
