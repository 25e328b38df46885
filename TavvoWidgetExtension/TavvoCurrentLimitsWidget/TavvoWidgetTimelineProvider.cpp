#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetTimelineProvider.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"

#include <exception>

namespace {

using Foundation::addingTimeInterval;

constexpr Foundation::TimeInterval longestReloadInterval = 300;
// Past the end of the freshness window, so the reloaded entry is stale.
constexpr Foundation::TimeInterval reloadDelayAfterFreshness = 1;

TavvoWidgetLimitSnapshot demoLimit(std::string id, std::string title, std::int64_t remainingPercent, Foundation::Date resetDate)
{
    return { std::move(id), std::move(title), remainingPercent, resetDate };
}

TavvoWidgetProviderSnapshot demoProvider(TavvoWidgetProviderID id, std::string title, std::vector<TavvoWidgetLimitSnapshot> limits,
    Foundation::Date now)
{
    return {
        .id = id,
        .title = std::move(title),
        .subtitle = "Demo account",
        .status = TavvoWidgetProviderStatus::available,
        .limits = std::move(limits),
        .observedAt = now,
        .freshUntil = addingTimeInterval(now, TavvoFreshnessPolicy::defaultTTL),
        .note = std::nullopt,
    };
}

}

TavvoWidgetTimelineProvider::TavvoWidgetTimelineProvider(TavvoWidgetSnapshotStore store, WidgetKit::Clock clock)
    : m_store(std::move(store))
    , m_clock(std::move(clock))
{
}

TavvoWidgetEntry TavvoWidgetTimelineProvider::placeholder(const WidgetKit::TimelineProviderContext&) const
{
    auto const now = m_clock();
    return { now, demoSnapshot(now), std::nullopt };
}

void TavvoWidgetTimelineProvider::getSnapshot(const WidgetKit::TimelineProviderContext& context,
    const std::function<void(TavvoWidgetEntry)>& completion) const
{
    completion(loadEntry(m_clock(), context.isPreview ? EntryPurpose::preview : EntryPurpose::display));
}

void TavvoWidgetTimelineProvider::getTimeline(const WidgetKit::TimelineProviderContext&,
    const std::function<void(WidgetKit::Timeline<TavvoWidgetEntry>)>& completion) const
{
    auto const now = m_clock();
    auto entry = loadEntry(now, EntryPurpose::display);
    auto const policy = WidgetKit::TimelineReloadPolicy::after(reloadDate(entry.snapshot, now));
    completion({ { std::move(entry) }, policy });
}

TavvoWidgetEntry TavvoWidgetTimelineProvider::loadEntry(Foundation::Date date, EntryPurpose purpose) const
{
    std::optional<TavvoWidgetSnapshot> snapshot;
    try {
        snapshot = m_store.readSnapshot();
    } catch (const std::exception&) {
        // Which error it was helps nobody looking at a widget; the message
        // says the data cannot be read, and the next reload tries again.
        return { date, std::nullopt, L10n::tr("widget.snapshot_unavailable") };
    }
    if (!snapshot) {
        auto demo = purpose == EntryPurpose::preview ? std::optional(demoSnapshot(date)) : std::nullopt;
        return { date, std::move(demo), L10n::tr("widget.open_once") };
    }
    return { date, std::move(snapshot), std::nullopt };
}

TavvoWidgetSnapshot TavvoWidgetTimelineProvider::demoSnapshot(Foundation::Date now)
{
    auto const at = [now](Foundation::TimeInterval seconds) { return addingTimeInterval(now, seconds); };
    return {
        .schemaVersion = TavvoWidgetSnapshot::currentSchemaVersion,
        .generatedAt = now,
        .providers = {
            demoProvider(TavvoWidgetProviderID::codex, "Codex Pro",
                { demoLimit("codex.five_hour", "5h", 64, at(3600)), demoLimit("codex.weekly", "Weekly", 81, at(86400)) }, now),
            demoProvider(TavvoWidgetProviderID::claude, "Claude Max",
                { demoLimit("claude.five_hour", "5h", 42, at(2400)), demoLimit("claude.weekly", "Weekly", 73, at(72000)) }, now),
        },
        .codexAnalytics = CodexAnalyticsSummary {
            .accountLabel = "Demo account",
            .planTitle = "ChatGPT Pro 20×",
            .quotaTitle = "GPT-5.3-Codex-Spark",
            .forecastState = TavvoWidgetForecastState::lastsUntilReset,
            .predictedExhaustionAt = std::nullopt,
            .resetAt = at(86400),
            .remainingPercent = 81,
            .forecastObservedAt = now,
            .weeklyTokens = 12400000,
            .weeklyCredits = Foundation::Decimal::fromInteger(482),
        },
    };
}

Foundation::Date TavvoWidgetTimelineProvider::reloadDate(const std::optional<TavvoWidgetSnapshot>& snapshot, Foundation::Date now)
{
    std::optional<Foundation::Date> candidate;
    if (snapshot) {
        for (auto const& provider : snapshot->providers) {
            if (provider.freshUntil && *provider.freshUntil > now && (!candidate || *provider.freshUntil < *candidate))
                candidate = provider.freshUntil;
        }
    }
    auto const fallback = addingTimeInterval(now, longestReloadInterval);
    if (!candidate)
        return fallback;
    auto const next = addingTimeInterval(*candidate, reloadDelayAfterFreshness);
    return next < fallback ? next : fallback;
}
