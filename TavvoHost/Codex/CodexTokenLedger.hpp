// CodexTokenLedger: the distinct token events of all session logs, for the
// tokens spent inside a window.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Codex/CodexLogLine.hpp"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

namespace TavvoHost {

// Two rules keep the sum honest:
// - a session re-emits its event with unchanged totals: within one file an
//   event whose running total equals the previous event's adds nothing;
// - a forked session replays its parent's events with their timestamps:
//   the same timestamp with the same last-turn usage counts once, whichever
//   file it is read from. That rule also makes reading a file again from
//   its start harmless.
// Events older than the pruning bound are dropped, so memory follows the
// recent history only.
class CodexTokenLedger {
public:
    // The state one file carries from event to event.
    class FileRun {
    public:
        // Reading starts again at the file's first line.
        void restart() { m_previousTotal.reset(); }

    private:
        friend class CodexTokenLedger;
        std::optional<CodexTokenUsage> m_previousTotal;
    };

    // Drops the events before `bound` and refuses older ones from now on.
    void prune(Foundation::Date bound);

    // An event without the last turn's usage adds nothing; one without a
    // running total is only checked against the other files.
    void record(FileRun& run, const CodexTokenCount& event);

    // The tokens of the events with start <= timestamp < end.
    std::int64_t tokensWithin(Foundation::Date start, Foundation::Date end) const;

    std::size_t eventCount() const { return m_events.size(); }

private:
    using Key = std::pair<Foundation::Date, CodexTokenUsage>;
    std::map<Key, std::int64_t> m_events;
    std::optional<Foundation::Date> m_bound;
};

}
