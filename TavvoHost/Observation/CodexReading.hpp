// CodexReading: what the Codex sources held at one pass.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/SourceState.hpp"
#include "TavvoHost/Observation/UsageWindow.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TavvoHost {

// The newest rate-limit record of one limit bucket.
struct CodexObservation {
    Foundation::Date observedAt; // whole seconds
    std::string limitId; // "codex" unless the record named another bucket
    std::optional<std::string> limitName;
    std::optional<std::string> planType; // "plus", "pro", … as written
    std::vector<UsageWindow> windows; // in the record's order (primary, secondary)

    friend bool operator==(const CodexObservation&, const CodexObservation&) = default;
};

struct CodexReading {
    // missing: no Codex home exists; unreadable: a home exists, nothing
    // could be observed and some of it could not be read.
    SourceState state = SourceState::missing;
    // The newest observation of each bucket: "codex" first, then the other
    // buckets by id.
    std::vector<CodexObservation> observations;
    // The tokens of the distinct token events inside the weekly window of
    // the "codex" bucket; nothing when that window is not known, or when
    // the observation is older than the token events kept.
    std::optional<std::int64_t> weeklyTokens;
    // The account's e-mail, known only from the app server.
    std::optional<std::string> accountLabel;

    friend bool operator==(const CodexReading&, const CodexReading&) = default;
};

// The observation of the main bucket, "codex"; nothing when none was made.
inline const CodexObservation* codexBucket(const CodexReading& reading)
{
    auto const found = std::find_if(reading.observations.begin(), reading.observations.end(),
        [](const CodexObservation& observation) { return observation.limitId == "codex"; });
    return found == reading.observations.end() ? nullptr : &*found;
}

// The observation's weekly window; nothing when it has none.
inline const UsageWindow* weeklyWindowOf(const CodexObservation& observation)
{
    auto const found = std::find_if(observation.windows.begin(), observation.windows.end(),
        [](const UsageWindow& window) { return window.length == weeklyWindow; });
    return found == observation.windows.end() ? nullptr : &*found;
}

}
