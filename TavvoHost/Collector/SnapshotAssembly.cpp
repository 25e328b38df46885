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

// The freshness policy takes its ttl in the platform's interval type.
Foundation::TimeInterval timeInterval(std::chrono::seconds ttl)
{
    return std::chrono::duration<Foundation::TimeInterval>(ttl).count();
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

std::string windowTitle(const UsageWindow& window)
{
    return L10n::windowLabel(window.length, L10n::tr("limit.window_unknown"));
}

// The limits of one provider, each with an id and a title no other of
// them has.
class ProviderLimits {
public:
    // A limit of the provider's main quota: its window names it.
    void add(std::string id, const UsageWindow& window) { add(std::move(id), window, windowTitle(window)); }

    // A limit of another quota or of one model: the window and the first
    // of the names of what it limits that no other limit's title has taken,
    // else the limit's id, which no other limit has.
    void addScoped(std::string id, const UsageWindow& window, const std::vector<std::string>& names)
    {
        for (auto const& name : names) {
            auto title = L10n::tr("limit.window_scoped", { windowTitle(window), name });
            if (!m_titles.contains(title)) {
                add(std::move(id), window, std::move(title));
                return;
            }
        }
        std::string title = id;
        add(std::move(id), window, std::move(title));
    }

    std::vector<TavvoWidgetLimitSnapshot> take() { return std::move(m_limits); }

private:
    void add(std::string id, const UsageWindow& window, std::string title)
    {
        if (!m_ids.insert(id).second)
            return;
        m_titles.insert(title);
        m_limits.push_back({
            .id = std::move(id),
            .title = std::move(title),
            .remainingPercent = remainingPercent(window),
            .resetDate = wholeSeconds(window.resetsAt),
        });
    }

    std::vector<TavvoWidgetLimitSnapshot> m_limits;
    std::set<std::string> m_ids, m_titles;
};

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
    ProviderLimits limits;
    for (auto const& observation : observations) {
        bool const main = observation.limitId == "codex";
        std::string const prefix = main ? "codex." : "codex." + observation.limitId + ".";
        // A quota's own name reads better than its id; not every record has one.
        std::vector<std::string> names;
        if (observation.limitName && !observation.limitName->empty())
            names.push_back(*observation.limitName);
        names.push_back(observation.limitId);
        std::vector<std::size_t> order(observation.windows.size());
        for (std::size_t index = 0; index < order.size(); ++index)
            order[index] = index;
        std::stable_sort(order.begin(), order.end(),
            [&](std::size_t left, std::size_t right) { return rank(observation.windows[left]) < rank(observation.windows[right]); });
        for (auto const index : order) {
            auto const& window = observation.windows[index];
            if (!main && window.resetsAt && *window.resetsAt <= observedAt)
                continue;
            std::string id = prefix + windowIdPart(window, index);
            if (main)
                limits.add(std::move(id), window);
            else
                limits.addScoped(std::move(id), window, names);
        }
    }
    return limits.take();
}

// A model's part of a limit id: its display name in lower case, every run
// of other characters than ASCII letters and digits one "_" ("Opus 4.1" →
// "opus_4_1").
std::string modelIdPart(std::string_view model)
{
    std::string part;
    for (char const c : model) {
        bool const digit = c >= '0' && c <= '9';
        bool const lower = c >= 'a' && c <= 'z';
        bool const upper = c >= 'A' && c <= 'Z';
        if (digit || lower)
            part += c;
        else if (upper)
            part += static_cast<char>(c - 'A' + 'a');
        else if (part.empty() || part.back() != '_')
            part += '_';
    }
    return part;
}

std::vector<TavvoWidgetLimitSnapshot> claudeLimits(const ClaudeObservation& observation)
{
    ProviderLimits limits;
    if (observation.fiveHour)
        limits.add("claude.five_hour", *observation.fiveHour);
    if (observation.sevenDay)
        limits.add("claude.weekly", *observation.sevenDay);
    for (auto const& model : observation.modelWeekly)
        limits.addScoped("claude." + modelIdPart(model.model) + ".weekly", model.window, { model.model });
    return limits.take();
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
// Only for a non-empty list of limits: a provider with none to show is
// never available.
TavvoWidgetProviderSnapshot observed(TavvoWidgetProviderID id, std::string title, std::vector<TavvoWidgetLimitSnapshot> limits,
    Foundation::Date observedAt, std::chrono::seconds ttl)
{
    auto const freshUntil = TavvoFreshnessPolicy::freshUntil(observedAt, resetDates(limits), timeInterval(ttl));
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
    std::optional<std::string> note, Foundation::Date now, std::chrono::seconds ttl)
{
    auto const checkedAt = wholeSeconds(now);
    return {
        .id = id,
        .title = std::move(title),
        .subtitle = std::nullopt,
        .status = status,
        .limits = {},
        .observedAt = checkedAt,
        .freshUntil = TavvoFreshnessPolicy::freshUntil(checkedAt, {}, timeInterval(ttl)),
        .note = std::move(note),
    };
}

TavvoWidgetProviderSnapshot codexProvider(const CodexReading& codex, Foundation::Date now, std::chrono::seconds ttl)
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
        auto limits = codexLimits(codex.observations, observedAt);
        if (!limits.empty())
            return observed(TavvoWidgetProviderID::codex, std::move(title), std::move(limits), wholeSeconds(observedAt), ttl);
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

TavvoWidgetProviderSnapshot claudeProvider(const ClaudeReading& claude, Foundation::Date now, std::chrono::seconds ttl)
{
    std::string title = "Claude";
    if (claude.observation) {
        auto limits = claudeLimits(*claude.observation);
        if (!limits.empty())
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
    std::chrono::seconds ttl)
{
    return {
        .schemaVersion = TavvoWidgetSnapshot::currentSchemaVersion,
        .generatedAt = wholeSeconds(now),
        .providers = { codexProvider(codex, now, ttl), claudeProvider(claude, now, ttl) },
        .codexAnalytics = codexAnalytics(codex),
    };
}

}
