#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationTexts.hpp"

#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoShared/Localization/ResetTexts.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"

#include <fmt/ranges.h>

#include <vector>

namespace TavvoSurfaces {

namespace {

// "Codex 5h"; the provider alone for an untitled limit.
std::string limitName(TavvoWidgetProviderID provider, const std::string& limitTitle)
{
    auto const& shortTitle = appearance(provider).shortTitle;
    if (limitTitle.empty())
        return shortTitle;
    return L10n::tr("notify.limit_name", { shortTitle, limitTitle });
}

// "Resets today at 14:30 (in 2h 5m)"; a reset already past has no
// countdown.
std::string resetLine(Foundation::Date reset, Foundation::Date now)
{
    auto const text = L10n::resetExpandedText(reset, now);
    if (reset <= now)
        return text;
    return L10n::tr("notify.with_countdown", { text, *L10n::countdown(reset, now) });
}

std::string joinedLines(const std::vector<std::string>& lines)
{
    return fmt::to_string(fmt::join(lines, "\n"));
}

LimitNotificationTexts limitTexts(const LimitEvent& event, Foundation::Date now)
{
    auto const name = limitName(event.provider, event.limit.title);
    std::string summary;
    switch (event.kind) {
    case LimitEvent::Kind::worsened:
        summary = L10n::tr(event.severity == NovikSeverity::critical ? "notify.limit.critical" : "notify.limit.tight", { name });
        break;
    case LimitEvent::Kind::reset:
        summary = L10n::tr("notify.limit.reset", { name });
        break;
    }
    std::vector<std::string> lines;
    if (event.limit.remainingPercent)
        lines.push_back(L10n::percentRemaining(*event.limit.remainingPercent));
    if (event.limit.resetDate)
        lines.push_back(resetLine(*event.limit.resetDate, now));
    return { std::move(summary), joinedLines(lines) };
}

LimitNotificationTexts forecastTexts(const ForecastEvent& event, Foundation::Date now)
{
    auto const& analytics = event.analytics;
    std::vector<std::string> lines;
    if (analytics.remainingPercent)
        lines.push_back(L10n::percentRemaining(*analytics.remainingPercent));
    if (analytics.predictedExhaustionAt) {
        auto const at = *analytics.predictedExhaustionAt;
        lines.push_back(at > now ? L10n::tr("notify.forecast.runs_out_at",
                                       { L10n::timestampText(at, now), *L10n::countdown(at, now) })
                                 : L10n::tr("notify.forecast.ran_out"));
    }
    if (analytics.resetAt)
        lines.push_back(resetLine(*analytics.resetAt, now));
    return { L10n::tr("notify.forecast.summary", { appearance(TavvoWidgetProviderID::codex).shortTitle }), joinedLines(lines) };
}

}

LimitNotificationTexts limitNotificationTexts(const LimitNotificationEvent& event, Foundation::Date now)
{
    if (auto const* limit = std::get_if<LimitEvent>(&event))
        return limitTexts(*limit, now);
    return forecastTexts(std::get<ForecastEvent>(event), now);
}

} // namespace TavvoSurfaces
