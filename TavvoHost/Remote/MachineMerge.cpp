#include "TavvoHost/Remote/MachineMerge.hpp"

#include "TavvoHost/Claude/ClaudeNewestWindows.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace TavvoHost {

namespace {

// Two machines that observed at the same second almost always saw the same
// answer; when they did not, any choice is as true as the other, but it
// must not depend on the order the machines are listed in. These keys
// order observations of the same instant by their content.
auto windowKey(const UsageWindow& window)
{
    return std::make_tuple(window.length, window.usedPercent, window.resetsAt);
}

auto windowsKey(const std::vector<UsageWindow>& windows)
{
    std::vector<decltype(windowKey(windows.front()))> keys;
    for (auto const& window : windows)
        keys.push_back(windowKey(window));
    return keys;
}

auto optionalWindowKey(const std::optional<UsageWindow>& window)
{
    return window ? std::optional(windowKey(*window)) : std::nullopt;
}

bool newerCodex(const CodexObservation& left, const CodexObservation& right)
{
    return std::make_tuple(left.observedAt, left.planType, left.limitName, windowsKey(left.windows))
        > std::make_tuple(right.observedAt, right.planType, right.limitName, windowsKey(right.windows));
}

bool newerClaude(const ClaudeObservation& left, const ClaudeObservation& right)
{
    auto const key = [](const ClaudeObservation& observation) {
        std::vector<std::tuple<std::string, decltype(windowKey(observation.modelWeekly.front().window))>> models;
        for (auto const& model : observation.modelWeekly)
            models.emplace_back(model.model, windowKey(model.window));
        return std::make_tuple(observation.observedAt, optionalWindowKey(observation.fiveHour), optionalWindowKey(observation.sevenDay), models);
    };
    return key(left) > key(right);
}

template <class Reading>
SourceState mergedState(const std::vector<Reading>& machines)
{
    auto const any = [&](SourceState state) {
        return std::any_of(machines.begin(), machines.end(), [&](const Reading& machine) { return machine.state == state; });
    };
    if (any(SourceState::present))
        return SourceState::present;
    if (any(SourceState::unreadable))
        return SourceState::unreadable;
    return SourceState::missing;
}

// When a machine's Codex was last observed, in any bucket; nothing when it
// was not.
std::optional<Foundation::Date> newestObservationOf(const CodexReading& machine)
{
    std::optional<Foundation::Date> newest;
    for (auto const& observation : machine.observations)
        newest = std::max(newest, std::optional(observation.observedAt));
    return newest;
}

// The label of the machine that observed Codex last, of those that know one.
std::optional<std::string> newestAccountLabel(const std::vector<CodexReading>& machines)
{
    std::optional<std::tuple<std::optional<Foundation::Date>, std::string>> newest;
    for (auto const& machine : machines) {
        if (machine.accountLabel)
            newest = std::max(newest, std::optional(std::make_tuple(newestObservationOf(machine), *machine.accountLabel)));
    }
    return newest ? std::optional(std::get<std::string>(*newest)) : std::nullopt;
}

// Each machine counted the token events of its own sessions, so the week's
// tokens are their sum, but only over the machines that counted within the
// same week: one whose newest record is of last week counted last week's.
std::optional<std::int64_t> weeklyTokensWithin(const std::vector<CodexReading>& machines, const CodexObservation* merged)
{
    auto const* mergedWeek = merged ? weeklyWindowOf(*merged) : nullptr;
    if (!mergedWeek || !mergedWeek->resetsAt)
        return std::nullopt;
    std::optional<std::int64_t> total;
    for (auto const& machine : machines) {
        auto const* bucket = codexBucket(machine);
        auto const* week = bucket ? weeklyWindowOf(*bucket) : nullptr;
        if (!machine.weeklyTokens || !week || week->resetsAt != mergedWeek->resetsAt)
            continue;
        // Saturates rather than overflows: no account spends that much.
        auto const sum = total.value_or(0);
        total = *machine.weeklyTokens > std::numeric_limits<std::int64_t>::max() - sum ? std::numeric_limits<std::int64_t>::max()
                                                                                        : sum + *machine.weeklyTokens;
    }
    return total;
}

}

CodexReading mergedCodexReadings(const std::vector<CodexReading>& machines)
{
    // The main bucket sorts first, then the others by id, as one machine's
    // reading lists them.
    auto const bucketOrder = [](const std::string& left, const std::string& right) {
        return std::make_tuple(left != "codex", left) < std::make_tuple(right != "codex", right);
    };
    std::map<std::string, const CodexObservation*, decltype(bucketOrder)> newest(bucketOrder);
    for (auto const& machine : machines) {
        for (auto const& observation : machine.observations) {
            auto [found, inserted] = newest.emplace(observation.limitId, &observation);
            if (!inserted && newerCodex(observation, *found->second))
                found->second = &observation;
        }
    }
    CodexReading merged { mergedState(machines), {}, std::nullopt, newestAccountLabel(machines) };
    for (auto const& [limitId, observation] : newest)
        merged.observations.push_back(*observation);
    merged.weeklyTokens = weeklyTokensWithin(machines, codexBucket(merged));
    return merged;
}

ClaudeReading mergedClaudeReadings(const std::vector<ClaudeReading>& machines)
{
    std::vector<ClaudeObservation> observations;
    for (auto const& machine : machines) {
        if (machine.observation)
            observations.push_back(*machine.observation);
    }
    // newestClaudeWindows takes the earlier of two observations of the same
    // instant: put them in an order of their own first.
    std::sort(observations.begin(), observations.end(), newerClaude);
    return { mergedState(machines), newestClaudeWindows(observations) };
}

}
