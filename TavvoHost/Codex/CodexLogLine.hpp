// CodexLogLine: one line of a Codex session log, read as a token-count
// event or as nothing of interest.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/CodexReading.hpp"

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace TavvoHost {

// A token tally as a session reported it; absent counts are 0.
struct CodexTokenUsage {
    std::int64_t inputTokens = 0;
    std::int64_t cachedInputTokens = 0;
    std::int64_t outputTokens = 0;
    std::int64_t reasoningOutputTokens = 0;
    std::int64_t totalTokens = 0;

    friend auto operator<=>(const CodexTokenUsage&, const CodexTokenUsage&) = default;
};

struct CodexTokenCount {
    Foundation::Date timestamp; // as written, to the millisecond
    std::optional<CodexTokenUsage> totalUsage; // the session's running total
    std::optional<CodexTokenUsage> lastUsage; // the turn that caused the event
    // The limits as of this event, observed at the timestamp's whole second;
    // nothing when the event holds no window (rate_limits null, or neither
    // window given).
    std::optional<CodexObservation> rateLimits;

    friend bool operator==(const CodexTokenCount&, const CodexTokenCount&) = default;
};

struct CodexLogLine {
    enum class Kind {
        other, // not a token-count event: ignored
        malformed, // not JSON, wrong types, or a timestamp outside 2000–9999
        tokenCount,
    };

    Kind kind = Kind::other;
    std::optional<CodexTokenCount> tokenCount; // with tokenCount only

    friend bool operator==(const CodexLogLine&, const CodexLogLine&) = default;
};

// Most lines are conversation text, so only a line that can be the event is
// parsed: one that is not braced like an object is malformed at once, and
// one whose first keys name another type, or that does not contain the
// event's name, is nothing; so is a blank line. Unknown types and keys are ignored.
// The limits may come in any of the three shapes Codex has written:
//   primary/secondary objects with resets_at (Unix seconds),
//   the same with resets_in_seconds (from the line's timestamp),
//   the flat primary_used_percent, primary_window_minutes,
//   primary_reset_after_seconds (and secondary_…) keys.
// Values are kept as reported (a used share of −5 or 250 too); a reset
// outside the years 2000–9999 or a window that is not a positive number of
// minutes is absent. A key of the wrong type makes the line malformed, and
// so does a kept text (limit_id, limit_name, plan_type, the timestamp) that
// is not valid UTF-8 or holds a NUL; the encoding of the rest of the line
// is not checked.
CodexLogLine parseCodexLogLine(std::string_view line);

}
