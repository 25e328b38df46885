#include "TavvoHost/Remote/MachineMerge.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

using namespace TavvoHost;

auto const ten = at("2026-09-04T10:00:00Z");
auto const eleven = at("2026-09-04T11:00:00Z");
auto const thisWeek = at("2026-09-08T00:00:00Z");
auto const otherWeek = at("2026-09-11T00:00:00Z");

UsageWindow fiveHour(double used, std::optional<Foundation::Date> reset = std::nullopt)
{
    return { fiveHourWindow, used, reset };
}

UsageWindow weekly(double used, std::optional<Foundation::Date> reset = std::nullopt)
{
    return { weeklyWindow, used, reset };
}

// The merge of `machines` in every order they can be listed in, which must
// all be the same.
template <class Reading, class Merge>
Reading mergedInEveryOrder(std::vector<Reading> const& machines, Merge merge)
{
    std::vector<std::size_t> order(machines.size());
    std::iota(order.begin(), order.end(), 0);
    auto const first = merge(machines);
    do {
        std::vector<Reading> listed;
        for (auto const index : order)
            listed.push_back(machines[index]);
        EXPECT_EQ(merge(listed), first);
    } while (std::next_permutation(order.begin(), order.end()));
    return first;
}

TEST(MachineMerge, CodexTakesEachBucketWholeFromTheNewestMachine)
{
    CodexObservation const tenBoth { ten, "codex", std::nullopt, "plus", { fiveHour(40), weekly(10, thisWeek) } };
    CodexObservation const elevenFiveHourOnly { eleven, "codex", std::nullopt, "plus", { fiveHour(50) } };
    CodexObservation const elevenBoth { eleven, "codex", std::nullopt, "plus", { fiveHour(50), weekly(12, thisWeek) } };
    CodexObservation const elevenOtherWeek { eleven, "codex", std::nullopt, "plus", { fiveHour(50), weekly(90, otherWeek) } };
    CodexObservation const tenOther { ten, "codex_bengalfox", "GPT-5-Codex-Spark", std::nullopt, { weekly(3, thisWeek) } };
    CodexObservation const elevenOther { eleven, "codex_bengalfox", "GPT-5-Codex-Spark", std::nullopt, { weekly(4, thisWeek) } };
    // Two machines that saw the same instant differently: either is true,
    // but the same one whatever the order.
    CodexObservation const elevenOtherwise { eleven, "codex", std::nullopt, "pro", { fiveHour(51), weekly(12, thisWeek) } };
    auto const present = SourceState::present;
    struct Case {
        std::string name;
        std::vector<CodexReading> machines;
        CodexReading merged;
    };
    std::vector<Case> const cases {
        { "no machine", {}, {} },
        { "one machine is itself", { { present, { tenBoth, tenOther }, 70, "a@example.com" } }, { present, { tenBoth, tenOther }, 70, "a@example.com" } },
        { "the newer bucket whole: no weekly window kept from the older one",
            { { present, { tenBoth }, 70, std::nullopt }, { present, { elevenFiveHourOnly }, std::nullopt, std::nullopt } },
            { present, { elevenFiveHourOnly }, std::nullopt, std::nullopt } },
        { "each bucket from the machine that saw it last, the main one first",
            { { present, { tenBoth, elevenOther }, std::nullopt, std::nullopt }, { present, { elevenBoth, tenOther }, std::nullopt, std::nullopt } },
            { present, { elevenBoth, elevenOther }, std::nullopt, std::nullopt } },
        { "another bucket seen only elsewhere", { { present, { tenOther }, std::nullopt, std::nullopt }, { present, { elevenBoth }, 5, std::nullopt } },
            { present, { elevenBoth, tenOther }, 5, std::nullopt } },
        { "tokens add up over the machines that saw the same week",
            { { present, { tenBoth }, 70, std::nullopt }, { present, { elevenBoth }, 30, std::nullopt }, { present, {}, 1000, std::nullopt } },
            { present, { elevenBoth }, 100, std::nullopt } },
        { "tokens of another week do not count",
            { { present, { tenBoth }, 70, std::nullopt }, { present, { elevenOtherWeek }, 30, std::nullopt } },
            { present, { elevenOtherWeek }, 30, std::nullopt } },
        { "tokens known on one machine of the week",
            { { present, { tenBoth }, 70, std::nullopt }, { present, { elevenBoth }, std::nullopt, std::nullopt } },
            { present, { elevenBoth }, 70, std::nullopt } },
        { "the same instant seen two ways",
            { { present, { elevenBoth }, 1, std::nullopt }, { present, { elevenOtherwise }, 2, std::nullopt } },
            { present, { elevenOtherwise }, 3, std::nullopt } },
        { "the label of the machine that saw Codex last",
            { { present, { tenBoth }, std::nullopt, "a@example.com" }, { present, { elevenBoth }, std::nullopt, "b@example.com" },
                { present, {}, std::nullopt, "c@example.com" } },
            { present, { elevenBoth }, std::nullopt, "b@example.com" } },
        { "a label from an older machine rather than none",
            { { present, { tenBoth }, std::nullopt, "a@example.com" }, { present, { elevenBoth }, std::nullopt, std::nullopt } },
            { present, { elevenBoth }, std::nullopt, "a@example.com" } },
        { "present if any is", { { SourceState::missing, {}, std::nullopt, std::nullopt }, { SourceState::unreadable, {}, std::nullopt, std::nullopt }, { present, {}, std::nullopt, std::nullopt } },
            { present, {}, std::nullopt, std::nullopt } },
        { "else unreadable if any is", { { SourceState::missing, {}, std::nullopt, std::nullopt }, { SourceState::unreadable, {}, std::nullopt, std::nullopt } },
            { SourceState::unreadable, {}, std::nullopt, std::nullopt } },
        { "else missing", { { SourceState::missing, {}, std::nullopt, std::nullopt }, { SourceState::missing, {}, std::nullopt, std::nullopt } },
            { SourceState::missing, {}, std::nullopt, std::nullopt } },
    };
    for (auto const& [name, machines, merged] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(mergedInEveryOrder(machines, mergedCodexReadings), merged);
    }
}

TEST(MachineMerge, ClaudeTakesEachWindowFromTheNewestMachineThatHoldsIt)
{
    ClaudeModelWindow const opus { "Opus", weekly(5) };
    auto const present = SourceState::present;
    struct Case {
        std::string name;
        std::vector<ClaudeReading> machines;
        ClaudeReading merged;
    };
    std::vector<Case> const cases {
        { "no machine", {}, {} },
        { "each window from the newest that holds it",
            { { present, ClaudeObservation { ten, fiveHour(40), weekly(20), { opus } } }, { present, ClaudeObservation { eleven, fiveHour(50), std::nullopt, {} } } },
            { present, ClaudeObservation { eleven, fiveHour(50), weekly(20), { opus } } } },
        // Reset at 10:30, after the older machine saw it and before the newer one's instant.
        { "an older machine's window that has reset since is left out",
            { { present, ClaudeObservation { ten, fiveHour(40, at("2026-09-04T10:30:00Z")), std::nullopt, {} } },
                { present, ClaudeObservation { eleven, std::nullopt, weekly(5), {} } } },
            { present, ClaudeObservation { eleven, std::nullopt, weekly(5), {} } } },
        { "the same instant seen two ways",
            { { present, ClaudeObservation { eleven, fiveHour(50), std::nullopt, {} } }, { present, ClaudeObservation { eleven, fiveHour(51), weekly(1), {} } } },
            { present, ClaudeObservation { eleven, fiveHour(51), weekly(1), {} } } },
        { "a machine without a window changes nothing",
            { { present, ClaudeObservation { ten, fiveHour(40), std::nullopt, {} } }, { present, ClaudeObservation { eleven, std::nullopt, std::nullopt, {} } },
                { SourceState::missing, std::nullopt } },
            { present, ClaudeObservation { ten, fiveHour(40), std::nullopt, {} } } },
        { "unreadable if none is present", { { SourceState::unreadable, std::nullopt }, { SourceState::missing, std::nullopt } },
            { SourceState::unreadable, std::nullopt } },
    };
    for (auto const& [name, machines, merged] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(mergedInEveryOrder(machines, mergedClaudeReadings), merged);
    }
}

}
