#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationRules.hpp"

#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include <set>

namespace TavvoSurfaces {

namespace {

bool sameWindow(std::optional<Foundation::Date> recorded, std::optional<Foundation::Date> seen)
{
    // A window whose reset is unknown on either side cannot be told apart.
    if (!recorded || !seen)
        return true;
    auto const distance = *recorded > *seen ? *recorded - *seen : *seen - *recorded;
    return distance <= sameWindowTolerance;
}

// The date that names the window from now on: the newest known one, so a
// writer's drift never adds up to a new window.
std::optional<Foundation::Date> windowDate(std::optional<Foundation::Date> recorded, std::optional<Foundation::Date> seen)
{
    return seen ? seen : recorded;
}

bool isAlert(NovikSeverity severity)
{
    return severity == NovikSeverity::tight || severity == NovikSeverity::critical;
}

void evaluateProvider(const TavvoWidgetProviderSnapshot& provider, Foundation::Date date, Evaluation evaluation,
    const LimitNotificationRecord& before, LimitNotificationOutcome& outcome)
{
    // The limits the widget's compact lines would show: none unless fresh,
    // and none whose window already ended.
    auto current = provider;
    current.limits = provider.limitsForCompactSurface(date);
    auto const binding = current.bindingLimit();
    std::set<std::string> seen;
    for (auto const& limit : current.limits) {
        // Only the first limit of an id is the limit of that id.
        if (!seen.insert(limit.id).second)
            continue;
        LimitKey key { provider.id, limit.id };
        auto const severity = NovikSeverities::forRemaining(limit.remainingPercent);
        auto const known = before.limits.find(key);
        if (known == before.limits.end() && evaluation == Evaluation::first) {
            outcome.record.limits[key] = { limit.resetDate, severity };
            continue;
        }
        auto highest = NovikSeverity::unknown;
        auto window = limit.resetDate;
        if (known != before.limits.end()) {
            if (sameWindow(known->second.resetDate, limit.resetDate)) {
                highest = known->second.highestSeverity;
                window = windowDate(known->second.resetDate, limit.resetDate);
            } else if (isAlert(known->second.highestSeverity)) {
                outcome.events.push_back(LimitEvent { LimitEvent::Kind::reset, provider.id, limit, severity });
            }
        }
        if (binding && binding->id == limit.id && isAlert(severity) && severity > highest)
            outcome.events.push_back(LimitEvent { LimitEvent::Kind::worsened, provider.id, limit, severity });
        outcome.record.limits[key] = { window, std::max(highest, severity) };
    }
}

void evaluateForecast(const TavvoWidgetEntry& entry, const TavvoWidgetPresentation& presentation, Evaluation evaluation,
    const LimitNotificationRecord& before, LimitNotificationOutcome& outcome)
{
    if (!entry.snapshot || !entry.snapshot->codexAnalytics || presentation.analyticsStale())
        return;
    auto const& analytics = *entry.snapshot->codexAnalytics;
    bool const runsOut = analytics.forecastState == TavvoWidgetForecastState::exhaustsBeforeReset;
    if (!before.forecast && evaluation == Evaluation::first) {
        outcome.record.forecast = { analytics.resetAt, runsOut ? ForecastNotice::told : ForecastNotice::pending };
        return;
    }
    ForecastWindowRecord next { analytics.resetAt, ForecastNotice::pending };
    if (before.forecast && sameWindow(before.forecast->resetAt, analytics.resetAt))
        next = { windowDate(before.forecast->resetAt, analytics.resetAt), before.forecast->runsOutBeforeReset };
    if (runsOut && next.runsOutBeforeReset == ForecastNotice::pending) {
        outcome.events.push_back(ForecastEvent { analytics });
        next.runsOutBeforeReset = ForecastNotice::told;
    }
    outcome.record.forecast = next;
}

}

Foundation::Urgency urgency(const LimitNotificationEvent& event)
{
    auto const* limit = std::get_if<LimitEvent>(&event);
    if (limit && limit->kind == LimitEvent::Kind::worsened && limit->severity == NovikSeverity::critical)
        return Foundation::Urgency::critical;
    return Foundation::Urgency::normal;
}

LimitNotificationOutcome evaluateLimitNotifications(
    const LimitNotificationRecord& record, const TavvoWidgetEntry& entry, Evaluation evaluation)
{
    LimitNotificationOutcome outcome { {}, record };
    TavvoWidgetPresentation const presentation(entry);
    for (auto const& provider : presentation.providers())
        evaluateProvider(provider.record, entry.date, evaluation, record, outcome);
    evaluateForecast(entry, presentation, evaluation, record, outcome);
    return outcome;
}

} // namespace TavvoSurfaces
