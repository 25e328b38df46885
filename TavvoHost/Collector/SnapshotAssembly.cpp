#include "TavvoHost/Collector/SnapshotAssembly.hpp"

#include "TavvoHost/Forecast/CodexForecast.hpp"
#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace TavvoHost {

namespace {

// The document holds whole seconds; cutting here keeps what is compared
// with the stored document equal to what was written.
Foundation::Date wholeSeconds(Foundation::Date date)
{
    return std::chrono::floor<std::chrono::seconds>(date);
}

std::optional<Foundation::Date> wholeSeconds(std::optional<Foundation::Date> date)
{
    if (!date)
        return std::nullopt;
    return wholeSeconds(*date);
}

// "plus" → "Plus": plans are product names, the same in every language.
std::string capitalized(std::string text)
{
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z')
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    return text;
}

// The last part of a limit's id: what the window is, independent of its
// bucket. A window of unknown length is named by its place in the record.
std::string windowIdPart(const UsageWindow& window, std::size_t position)
{
    if (!window.length)
        return position == 0 ? "primary" : "secondary";
    if (*window.length == fiveHourWindow)
        return "five_hour";
    if (*window.length == weeklyWindow)
        return "weekly";
    return fmt::format("window_{}", window.length->count());
}

TavvoWidgetLimitSnapshot limitOf(std::string id, const UsageWindow& window)
{
    return {
        .id = std::move(id),
        .title = L10n::windowLabel(window.length, L10n::tr("limit.window_unknown")),
        .remainingPercent = remainingPercent(window),
        .resetDate = wholeSeconds(window.resetsAt),
    };
}

// The five-hour window first, then the weekly one, then the rest in the
// record's order; a second window with an id already taken is dropped. A
// bucket other than the main one may not have been used for days: a window
// of it that had reset by the provider's observation says nothing true any
// more, and would mark the main bucket's fresh numbers outdated.
std::vector<TavvoWidgetLimitSnapshot> codexLimits(const std::vector<CodexObservation>& observations, Foundation::Date observedAt)
{
    auto const rank = [](const UsageWindow& window) {
        if (window.length == fiveHourWindow)
            return 0;
        if (window.length == weeklyWindow)
            return 1;
        return 2;
    };
    std::vector<TavvoWidgetLimitSnapshot> limits;
    std::set<std::string> taken;
    for (auto const& observation : observations) {
        std::string const prefix = observation.limitId == "codex" ? "codex." : "codex." + observation.limitId + ".";
        std::vector<std::size_t> order(observation.windows.size());
        for (std::size_t index = 0; index < order.size(); ++index)
            order[index] = index;
        std::stable_sort(order.begin(), order.end(),
            [&](std::size_t left, std::size_t right) { return rank(observation.windows[left]) < rank(observation.windows[right]); });
        for (auto const index : order) {
            auto const& reset = observation.windows[index].resetsAt;
            if (observation.limitId != "codex" && reset && *reset <= observedAt)
                continue;
            std::string id = prefix + windowIdPart(observation.windows[index], index);
            if (taken.insert(id).second)
                limits.push_back(limitOf(std::move(id), observation.windows[index]));
        }
    }
    return limits;
}

std::vector<Foundation::Date> resetDates(const std::vector<TavvoWidgetLimitSnapshot>& limits)
{
    std::vector<Foundation::Date> dates;
    for (auto const& limit : limits) {
        if (limit.resetDate)
            dates.push_back(*limit.resetDate);
    }
    return dates;
}

// A provider with an observation: available, fresh until the policy says.
TavvoWidgetProviderSnapshot observed(TavvoWidgetProviderID id, std::string title, std::vector<TavvoWidgetLimitSnapshot> limits,
    Foundation::Date observedAt, Foundation::TimeInterval ttl)
{
    auto const freshUntil = TavvoFreshnessPolicy::freshUntil(observedAt, resetDates(limits), ttl);
    return {
        .id = id,
        .title = std::move(title),
        .subtitle = std::nullopt,
        .status = TavvoWidgetProviderStatus::available,
        .limits = std::move(limits),
        .observedAt = observedAt,
        .freshUntil = freshUntil,
        .note = std::nullopt,
    };
}

// A provider with nothing observed: what it is, as checked now. The check
// time makes the record fresh for a while, so that the widget shows its
// status and note rather than calling it outdated.
TavvoWidgetProviderSnapshot unobserved(TavvoWidgetProviderID id, std::string title, TavvoWidgetProviderStatus status,
    std::optional<std::string> note, Foundation::Date now, Foundation::TimeInterval ttl)
{
    auto const checkedAt = wholeSeconds(now);
    return {
        .id = id,
        .title = std::move(title),
        .subtitle = std::nullopt,
        .status = status,
        .limits = {},
        .observedAt = checkedAt,
        .freshUntil = TavvoFreshnessPolicy::freshUntil(checkedAt, {}, ttl),
        .note = std::move(note),
    };
}

const CodexObservation* codexBucket(const CodexReading& codex)
{
    for (auto const& observation : codex.observations) {
        if (observation.limitId == "codex")
            return &observation;
    }
    return nullptr;
}

const UsageWindow* weeklyWindowOf(const CodexObservation& observation)
{
    for (auto const& window : observation.windows) {
        if (window.length == weeklyWindow)
            return &window;
    }
    return nullptr;
}

TavvoWidgetProviderSnapshot codexProvider(const CodexReading& codex, Foundation::Date now, Foundation::TimeInterval ttl)
{
    auto const* main = codexBucket(codex);
    std::string title = "Codex";
    if (main && main->planType)
        title += " " + capitalized(*main->planType);

    if (!codex.observations.empty()) {
        // The main bucket sets the provider's time; without it, the newest
        // of the others does.
        Foundation::Date observedAt = main ? main->observedAt : codex.observations.front().observedAt;
        if (!main) {
            for (auto const& observation : codex.observations)
                observedAt = std::max(observedAt, observation.observedAt);
        }
        return observed(TavvoWidgetProviderID::codex, std::move(title), codexLimits(codex.observations, observedAt), wholeSeconds(observedAt), ttl);
    }
    switch (codex.state) {
    case SourceState::missing:
        return unobserved(TavvoWidgetProviderID::codex, std::move(title), TavvoWidgetProviderStatus::unavailable, std::nullopt, now, ttl);
    case SourceState::unreadable:
        return unobserved(TavvoWidgetProviderID::codex, std::move(title), TavvoWidgetProviderStatus::error, L10n::tr("collect.codex.unreadable"), now, ttl);
    case SourceState::present:
        break;
    }
    return unobserved(TavvoWidgetProviderID::codex, std::move(title), TavvoWidgetProviderStatus::noData, std::nullopt, now, ttl);
}

std::optional<CodexAnalyticsSummary> codexAnalytics(const CodexReading& codex)
{
    auto const* main = codexBucket(codex);
    auto const* weekly = main ? weeklyWindowOf(*main) : nullptr;
    if (!weekly)
        return std::nullopt;
    auto const observedAt = wholeSeconds(main->observedAt);
    auto const forecast = forecastWeeklyWindow(*weekly, observedAt);
    return CodexAnalyticsSummary {
        .accountLabel = codex.accountLabel,
        .planTitle = main->planType ? std::optional<std::string>("ChatGPT " + capitalized(*main->planType)) : std::nullopt,
        .quotaTitle = main->limitName,
        .forecastState = forecast.state,
        .predictedExhaustionAt = wholeSeconds(forecast.predictedExhaustionAt),
        .resetAt = wholeSeconds(weekly->resetsAt),
        .remainingPercent = remainingPercent(*weekly),
        .forecastObservedAt = observedAt,
        .weeklyTokens = codex.weeklyTokens.value_or(0),
        .weeklyCredits = std::nullopt,
    };
}

TavvoWidgetProviderSnapshot claudeProvider(const ClaudeReading& claude, Foundation::Date now, Foundation::TimeInterval ttl)
{
    std::string title = "Claude";
    if (claude.observation) {
        std::vector<TavvoWidgetLimitSnapshot> limits;
        if (claude.observation->fiveHour)
            limits.push_back(limitOf("claude.five_hour", *claude.observation->fiveHour));
        if (claude.observation->sevenDay)
            limits.push_back(limitOf("claude.weekly", *claude.observation->sevenDay));
        return observed(TavvoWidgetProviderID::claude, std::move(title), std::move(limits), wholeSeconds(claude.observation->observedAt), ttl);
    }
    switch (claude.state) {
    case SourceState::missing:
        return unobserved(TavvoWidgetProviderID::claude, std::move(title), TavvoWidgetProviderStatus::unavailable, std::nullopt, now, ttl);
    case SourceState::unreadable:
        return unobserved(TavvoWidgetProviderID::claude, std::move(title), TavvoWidgetProviderStatus::error, L10n::tr("collect.claude.unreadable"), now, ttl);
    case SourceState::present:
        break;
    }
    return unobserved(TavvoWidgetProviderID::claude, std::move(title), TavvoWidgetProviderStatus::noData, L10n::tr("collect.claude.connect"), now, ttl);
}

}

TavvoWidgetSnapshot assembleSnapshot(const CodexReading& codex, const ClaudeReading& claude, Foundation::Date now,
    Foundation::TimeInterval ttl)
{
    return {
        .schemaVersion = TavvoWidgetSnapshot::currentSchemaVersion,
        .generatedAt = wholeSeconds(now),
        .providers = { codexProvider(codex, now, ttl), claudeProvider(claude, now, ttl) },
        .codexAnalytics = codexAnalytics(codex),
    };
}

}
