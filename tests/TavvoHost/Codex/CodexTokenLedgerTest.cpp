#include "TavvoHost/Codex/CodexTokenLedger.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

namespace {

using namespace TavvoHost;

auto const t0 = at("2026-06-01T00:00:00Z");

CodexTokenCount event(Foundation::Date timestamp, std::int64_t runningTotal, std::int64_t lastTurn)
{
    return { timestamp, CodexTokenUsage { 0, 0, 0, 0, runningTotal }, CodexTokenUsage { 0, 0, 0, 0, lastTurn }, std::nullopt };
}

TEST(CodexTokenLedger, CountsEachDistinctEventOnce)
{
    using std::chrono::minutes;
    CodexTokenLedger ledger;
    CodexTokenLedger::FileRun parent;
    ledger.record(parent, event(t0, 100, 100));
    // Re-emitted with unchanged totals, a minute later: nothing new.
    ledger.record(parent, event(t0 + minutes(1), 100, 100));
    ledger.record(parent, event(t0 + minutes(2), 150, 50));
    EXPECT_EQ(ledger.tokensWithin(t0, t0 + minutes(3)), 150);

    // A fork replays the parent's events with their timestamps, then goes on.
    CodexTokenLedger::FileRun fork;
    ledger.record(fork, event(t0, 100, 100));
    ledger.record(fork, event(t0 + minutes(2), 150, 50));
    ledger.record(fork, event(t0 + minutes(3), 170, 20));
    EXPECT_EQ(ledger.tokensWithin(t0, t0 + minutes(4)), 170);

    // The parent's file read again from its start adds nothing either.
    parent.restart();
    ledger.record(parent, event(t0, 100, 100));
    ledger.record(parent, event(t0 + minutes(2), 150, 50));
    EXPECT_EQ(ledger.tokensWithin(t0, t0 + minutes(4)), 170);

    // Two sessions may log the same last turn at different instants: both count.
    CodexTokenLedger::FileRun other;
    ledger.record(other, event(t0 + minutes(5), 20, 20));
    EXPECT_EQ(ledger.tokensWithin(t0, t0 + minutes(6)), 190);

    // The window is half-open: start counts, end does not.
    EXPECT_EQ(ledger.tokensWithin(t0 + minutes(2), t0 + minutes(3)), 50);
    EXPECT_EQ(ledger.tokensWithin(t0 + minutes(6), t0 + minutes(9)), 0);
}

TEST(CodexTokenLedger, ForgetsAndRefusesEventsBeforeTheBound)
{
    using std::chrono::hours;
    CodexTokenLedger ledger;
    CodexTokenLedger::FileRun run;
    ledger.record(run, event(t0, 10, 10));
    ledger.record(run, event(t0 + hours(2), 30, 20));
    ledger.prune(t0 + hours(1));
    EXPECT_EQ(ledger.eventCount(), 1u);
    ledger.record(run, event(t0 + std::chrono::minutes(30), 40, 10));
    EXPECT_EQ(ledger.eventCount(), 1u);
    EXPECT_EQ(ledger.tokensWithin(t0, t0 + hours(3)), 20);
}

}
