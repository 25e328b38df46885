#include "TavvoHost/Codex/CodexTokenLedger.hpp"

#include <limits>

namespace TavvoHost {

void CodexTokenLedger::prune(Foundation::Date bound)
{
    m_bound = bound;
    m_events.erase(m_events.begin(), m_events.lower_bound(Key { bound, CodexTokenUsage {} }));
}

void CodexTokenLedger::record(FileRun& run, const CodexTokenCount& event)
{
    if (event.totalUsage) {
        bool const repeated = run.m_previousTotal == event.totalUsage;
        run.m_previousTotal = event.totalUsage;
        if (repeated)
            return;
    }
    if (!event.lastUsage || (m_bound && event.timestamp < *m_bound))
        return;
    m_events.emplace(Key { event.timestamp, *event.lastUsage }, event.lastUsage->totalTokens);
}

std::int64_t CodexTokenLedger::tokensWithin(Foundation::Date start, Foundation::Date end) const
{
    std::int64_t sum = 0;
    for (auto event = m_events.lower_bound(Key { start, CodexTokenUsage {} }); event != m_events.end() && event->first.first < end; ++event) {
        // Saturate: counts come from files, and a sum past 2^63 is no count.
        if (sum > std::numeric_limits<std::int64_t>::max() - event->second)
            return std::numeric_limits<std::int64_t>::max();
        sum += event->second;
    }
    return sum;
}

}
