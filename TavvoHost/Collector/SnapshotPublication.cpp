#include "TavvoHost/Collector/SnapshotPublication.hpp"

#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include <exception>

namespace TavvoHost {

namespace {

bool isCheckOnly(const TavvoWidgetProviderSnapshot& provider)
{
    return provider.status != TavvoWidgetProviderStatus::available && provider.limits.empty();
}

bool sameBesidesCheckTime(TavvoWidgetProviderSnapshot left, const TavvoWidgetProviderSnapshot& right)
{
    left.observedAt = right.observedAt;
    left.freshUntil = right.freshUntil;
    return left == right;
}

Foundation::Date renewalOf(Foundation::Date checkedAt, std::chrono::seconds ttl)
{
    return Foundation::addingTimeInterval(checkedAt, std::chrono::duration<Foundation::TimeInterval>(ttl).count() / 2);
}

}

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

TavvoWidgetSnapshot keepingRecentChecks(TavvoWidgetSnapshot candidate, const std::optional<TavvoWidgetSnapshot>& previous,
    std::chrono::seconds ttl)
{
    if (!previous)
        return candidate;
    for (auto& provider : candidate.providers) {
        auto const before = previous->provider(provider.id);
        if (!isCheckOnly(provider) || !before || !before->observedAt || !sameBesidesCheckTime(provider, *before))
            continue;
        if (*before->observedAt <= candidate.generatedAt && candidate.generatedAt < renewalOf(*before->observedAt, ttl)) {
            provider.observedAt = before->observedAt;
            provider.freshUntil = before->freshUntil;
        }
    }
    return candidate;
}

std::optional<Foundation::Date> checkRenewalDue(const TavvoWidgetSnapshot& snapshot, std::chrono::seconds ttl)
{
    std::optional<Foundation::Date> due;
    for (auto const& provider : snapshot.providers) {
        if (!isCheckOnly(provider) || !provider.observedAt)
            continue;
        auto const renewal = renewalOf(*provider.observedAt, ttl);
        if (!due || renewal < *due)
            due = renewal;
    }
    return due;
}

TavvoWidgetSnapshot publishIfChanged(const TavvoWidgetSnapshotStore& store, const TavvoWidgetSnapshot& snapshot,
    std::chrono::seconds ttl)
{
    std::optional<TavvoWidgetSnapshot> stored;
    try {
        stored = store.readSnapshot();
    } catch (const std::exception&) {
        // A damaged or unreadable file is exactly what a new write mends.
    }
    auto settled = keepingRecentChecks(snapshot, stored, ttl);
    if (!differsInContent(settled, stored))
        return *stored;
    store.writeSnapshot(settled);
    return settled;
}

}
