#include "TavvoHost/Claude/ClaudeNewestWindows.hpp"

#include <algorithm>

namespace TavvoHost {

std::optional<ClaudeObservation> newestClaudeWindows(const std::vector<ClaudeObservation>& observations)
{
    std::vector<const ClaudeObservation*> newestFirst;
    for (auto const& observation : observations) {
        if (observation.holdsWindows())
            newestFirst.push_back(&observation);
    }
    if (newestFirst.empty())
        return std::nullopt;
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
        [](const ClaudeObservation* left, const ClaudeObservation* right) { return left->observedAt > right->observedAt; });

    auto const observedAt = newestFirst.front()->observedAt;
    // Whether a window of `source` still tells the truth at observedAt.
    auto const stillTrue = [&](const ClaudeObservation& source, const UsageWindow& window) {
        return source.observedAt == observedAt || !window.resetsAt || *window.resetsAt > observedAt;
    };
    ClaudeObservation merged { observedAt, std::nullopt, std::nullopt, {} };
    for (auto const* source : newestFirst) {
        if (!merged.fiveHour && source->fiveHour && stillTrue(*source, *source->fiveHour))
            merged.fiveHour = source->fiveHour;
        if (!merged.sevenDay && source->sevenDay && stillTrue(*source, *source->sevenDay))
            merged.sevenDay = source->sevenDay;
        for (auto const& model : source->modelWeekly) {
            if (!merged.holdsModel(model.model) && stillTrue(*source, model.window))
                merged.modelWeekly.push_back(model);
        }
    }
    return merged;
}

}
