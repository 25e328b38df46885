#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include "TavvoShared/Localization/CurrentCalendar.hpp"
#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"

#include <algorithm>

namespace {

std::optional<Foundation::Date> latestUpdate(const TavvoWidgetSnapshot& snapshot)
{
    std::optional<Foundation::Date> latest;
    for (auto const& provider : snapshot.providers) {
        if (provider.observedAt && (!latest || *provider.observedAt > *latest))
            latest = provider.observedAt;
    }
    return latest ? latest : snapshot.generatedAt;
}

// The sentence for the forecast state, as if the data were fresh.
std::string stateSentence(const CodexAnalyticsSummary& analytics, Foundation::Date now)
{
    switch (analytics.forecastState) {
    case TavvoWidgetForecastState::collecting:
        return L10n::tr("insights.forecast.collecting");
    case TavvoWidgetForecastState::exhaustsBeforeReset:
        if (auto countdown = L10n::countdown(analytics.predictedExhaustionAt, now))
            return L10n::tr("insights.forecast.exhausts_in", { std::move(*countdown) });
        return L10n::tr("insights.forecast.exhausted");
    case TavvoWidgetForecastState::lastsUntilReset:
        return L10n::tr("insights.forecast.lasts");
    case TavvoWidgetForecastState::stale:
        break;
    }
    // The stale state, and a value cast from outside the enumeration.
    return L10n::tr("insights.forecast.stale");
}

}

bool TavvoWidgetPresentation::Provider::valuesShown() const
{
    return !stale() || record.hasLastKnownClaudeLimits();
}

std::optional<TavvoWidgetLimitSnapshot> TavvoWidgetPresentation::Provider::shownBinding() const
{
    if (!valuesShown())
        return std::nullopt;
    return record.bindingLimit();
}

bool TavvoWidgetPresentation::Provider::showsLimits() const
{
    if (record.hasLastKnownClaudeLimits())
        return true;
    return record.status == TavvoWidgetProviderStatus::available && !record.limits.empty() && !stale();
}

TavvoWidgetPresentation::TavvoWidgetPresentation(const TavvoWidgetEntry& entry)
    : m_date(entry.date)
{
    if (!entry.snapshot)
        return;
    for (auto const id : Foundation::allCases<TavvoWidgetProviderID>()) {
        if (auto record = entry.snapshot->provider(id)) {
            auto const judged = freshness(*record, m_date);
            m_providers.push_back({ std::move(*record), judged });
        }
    }
    m_analytics = entry.snapshot->codexAnalytics;
    m_updatedAt = latestUpdate(*entry.snapshot);
}

bool TavvoWidgetPresentation::anyFresh() const
{
    return std::any_of(m_providers.begin(), m_providers.end(), [](const Provider& provider) { return !provider.stale(); });
}

bool TavvoWidgetPresentation::analyticsStale() const
{
    if (!m_analytics)
        return false;
    if (m_analytics->forecastState == TavvoWidgetForecastState::stale)
        return true;
    return m_analytics->forecastObservedAt
        && !TavvoFreshnessPolicy::isFresh(m_analytics->forecastObservedAt, m_date, TavvoFreshnessPolicy::defaultTTL);
}

std::optional<std::string> TavvoWidgetPresentation::forecastSentence() const
{
    if (!m_analytics)
        return std::nullopt;
    return ::forecastSentence(*m_analytics, m_date, analyticsStale() ? Freshness::stale : Freshness::fresh);
}

std::optional<LimitResetTexts> limitResetTexts(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now)
{
    if (!limit.resetDate)
        return std::nullopt;
    auto const reset = *limit.resetDate;
    // The label changes with what follows it: some languages put another
    // preposition before a date than before a time of day.
    if (L10n::isSameCalendarDay(reset, now))
        return LimitResetTexts { L10n::tr("widget.reset"), L10n::shortTime(reset) };
    return LimitResetTexts { L10n::tr("widget.reset.other_day"), L10n::shortDayTime(reset, L10n::YearDisplay::omitted) };
}

std::optional<std::string> limitResetText(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now)
{
    auto texts = limitResetTexts(limit, now);
    if (!texts)
        return std::nullopt;
    return texts->label + " " + texts->instant;
}

std::string forecastSentence(const CodexAnalyticsSummary& analytics, Foundation::Date now, Freshness freshness)
{
    if (freshness == Freshness::stale)
        return L10n::tr("insights.forecast.stale");
    return stateSentence(analytics, now);
}
