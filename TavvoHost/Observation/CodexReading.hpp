// CodexReading: what the Codex sources held at one pass.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/SourceState.hpp"
#include "TavvoHost/Observation/UsageWindow.hpp"

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

}
