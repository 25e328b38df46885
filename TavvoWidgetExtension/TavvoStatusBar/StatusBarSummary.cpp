#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoShared/Localization/ResetTexts.hpp"
#include "TavvoShared/NovikDesign/TavvoProviderAppearance.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/ProviderStatusMessages.hpp"

#include <fmt/ranges.h>

#include <algorithm>
#include <chrono>

namespace TavvoSurfaces {

namespace {

constexpr std::string_view separator = " · ";

// When the countdown to `until` next reads differently after `now`: it
// shows whole minutes (or coarser units) left, truncated, so it changes
// as the time left drops below the next whole minute; within the last
// minute it holds until the moment itself. Nothing for a moment passed.
std::optional<Foundation::Date> nextCountdownChange(Foundation::Date until, Foundation::Date now)
{
    if (until <= now)
        return std::nullopt;
    auto const left = std::chrono::floor<std::chrono::minutes>(until - now);
    // A second late, so that the text is read after it changed.
    return until - left + std::chrono::seconds(1);
}

void keepEarliest(std::optional<Foundation::Date>& earliest, std::optional<Foundation::Date> candidate)
{
    if (candidate && (!earliest || *candidate < *earliest))
        earliest = candidate;
}

// The widget's row in words: "5h: 64% left · Resets 18:40 · in 1h 5m".
std::string limitLine(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now)
{
    auto line = L10n::tr("bar.labeled", { limit.title, limitLeftText(limit) });
    // The countdown tells the day, so the reset shows its time alone.
    if (limit.resetDate)
        line += std::string(separator) + L10n::tr("widget.reset") + " " + L10n::shortTime(*limit.resetDate);
    if (auto const countdown = limitCountdownText(limit, now))
        line += std::string(separator) + *countdown;
    return line;
}

}

std::string limitLeftText(const TavvoWidgetLimitSnapshot& limit)
{
    return limit.remainingPercent ? L10n::percentRemaining(*limit.remainingPercent) : L10n::tr("—");
}

std::optional<std::string> limitCountdownText(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now)
{
    if (!limit.resetDate || *limit.resetDate <= now)
        return std::nullopt;
    auto const countdown = L10n::countdown(limit.resetDate, now);
    if (!countdown)
        return std::nullopt;
    return L10n::tr("bar.countdown", { *countdown });
}

std::string StatusBarProvider::shortTitle() const
{
    return appearance(record.id).shortTitle;
}

std::string StatusBarProvider::heading() const
{
    return record.title.empty() ? appearance(record.id).displayTitle : record.title;
}

std::string StatusBarProvider::percentageText() const
{
    if (shownBinding && shownBinding->remainingPercent)
        return L10n::tr("bar.percent", { *shownBinding->remainingPercent });
    return L10n::tr("—");
}

StatusBarSummary::StatusBarSummary(TavvoWidgetEntry entry, std::optional<TavvoWidgetProviderID> only)
    : m_entry(std::move(entry))
    , m_presentation(m_entry)
{
    for (auto const& shown : m_presentation.providers()) {
        if (only && shown.record.id != *only)
            continue;
        auto binding = shown.shownBinding();
        auto const severity = NovikSeverities::forRemaining(binding ? binding->remainingPercent : std::nullopt);
        m_providers.push_back({ shown.record, shown.freshness, std::move(binding), shown.showsLimits(), severity });
    }
}

StatusBarState StatusBarSummary::state() const
{
    if (m_entry.snapshot)
        return StatusBarState::shown;
    // The provider says "open once" for a missing document and another
    // message for one it could not read.
    return m_entry.errorText == L10n::tr("widget.open_once") ? StatusBarState::empty : StatusBarState::error;
}

std::optional<std::string> StatusBarSummary::emptyLine() const
{
    if (m_entry.snapshot)
        return std::nullopt;
    return L10n::tr("bar.labeled", { L10n::tr("app.title"), m_entry.errorText.value_or(L10n::tr("widget.open_once")) });
}

NovikSeverity StatusBarSummary::worstSeverity() const
{
    // The enumeration runs from unknown to critical.
    auto worst = NovikSeverity::unknown;
    for (auto const& provider : m_providers)
        worst = std::max(worst, provider.severity);
    return worst;
}

std::vector<std::string> StatusBarSummary::classes() const
{
    switch (state()) {
    case StatusBarState::empty:
        return { "empty" };
    case StatusBarState::error:
        return { "error" };
    case StatusBarState::shown:
        break;
    }
    std::vector<std::string> classes { std::string(Foundation::rawValue(worstSeverity())) };
    if (std::any_of(m_providers.begin(), m_providers.end(), [](const StatusBarProvider& provider) { return provider.stale(); }))
        classes.emplace_back("stale");
    return classes;
}

std::optional<std::int64_t> StatusBarSummary::leastRemaining() const
{
    std::optional<std::int64_t> least;
    for (auto const& provider : m_providers) {
        if (provider.shownBinding && provider.shownBinding->remainingPercent
            && (!least || *provider.shownBinding->remainingPercent < *least))
            least = provider.shownBinding->remainingPercent;
    }
    if (!least)
        return std::nullopt;
    return std::clamp<std::int64_t>(*least, 0, 100);
}

const std::vector<TavvoWidgetLimitSnapshot>& StatusBarSummary::listedLimits(const StatusBarProvider& provider) const
{
    static const std::vector<TavvoWidgetLimitSnapshot> none;
    return provider.listsLimits ? provider.record.limits : none;
}

std::vector<std::string> StatusBarSummary::longFormLines(const StatusBarProvider& provider) const
{
    if (!provider.listsLimits)
        return { statusMessage(provider.record, provider.freshness) };
    std::vector<std::string> lines;
    for (auto const& limit : listedLimits(provider))
        lines.push_back(limitLine(limit, m_entry.date));
    if (provider.stale())
        lines.push_back(lastKnownMessage(provider.record));
    return lines;
}

std::optional<std::string> StatusBarSummary::forecastSentence() const
{
    bool const codexShown = std::any_of(m_providers.begin(), m_providers.end(),
        [](const StatusBarProvider& provider) { return provider.record.id == TavvoWidgetProviderID::codex; });
    if (!codexShown)
        return std::nullopt;
    return m_presentation.forecastSentence();
}

std::optional<std::string> StatusBarSummary::updatedLine() const
{
    auto const updated = m_presentation.updatedAt();
    if (!updated)
        return std::nullopt;
    return L10n::tr("widget.updated") + " " + L10n::timestampText(*updated, m_entry.date);
}

std::string StatusBarSummary::spokenLine() const
{
    if (auto const empty = emptyLine())
        return *empty;
    std::optional<std::string> spoken;
    for (auto const& provider : m_providers) {
        auto const& binding = provider.shownBinding;
        std::string said;
        if (binding && binding->remainingPercent) {
            said = L10n::percentRemaining(*binding->remainingPercent);
            if (provider.stale())
                said = L10n::tr("bar.spoken.stale", { said });
        } else {
            said = statusMessage(provider.record, provider.freshness);
        }
        said = L10n::tr("bar.labeled", { provider.shortTitle(), said });
        spoken = spoken ? L10n::tr("bar.spoken.next", { *spoken, said }) : said;
    }
    return spoken.value_or("");
}

std::string StatusBarSummary::tooltip() const
{
    if (!m_entry.snapshot)
        return m_entry.errorText.value_or(L10n::tr("widget.open_once")) + "\n" + L10n::tr("widget.empty_explanation");
    std::vector<std::string> lines;
    for (auto const& provider : m_providers) {
        lines.push_back(provider.heading());
        auto const own = longFormLines(provider);
        lines.insert(lines.end(), own.begin(), own.end());
    }
    for (auto const& line : { forecastSentence(), updatedLine() }) {
        if (line)
            lines.push_back(*line);
    }
    return fmt::to_string(fmt::join(lines, "\n"));
}

std::optional<Foundation::Date> StatusBarSummary::nextTooltipChange() const
{
    std::optional<Foundation::Date> next;
    if (!m_entry.snapshot)
        return next;
    auto const now = m_entry.date;
    for (auto const& provider : m_providers) {
        for (auto const& limit : listedLimits(provider)) {
            if (limit.resetDate)
                keepEarliest(next, nextCountdownChange(*limit.resetDate, now));
        }
    }
    if (auto const& analytics = m_entry.snapshot->codexAnalytics) {
        if (analytics->predictedExhaustionAt)
            keepEarliest(next, nextCountdownChange(*analytics->predictedExhaustionAt, now));
        if (analytics->forecastObservedAt) {
            auto const staleAt = Foundation::addingTimeInterval(*analytics->forecastObservedAt, TavvoFreshnessPolicy::defaultTTL);
            if (staleAt > now)
                keepEarliest(next, staleAt + std::chrono::seconds(1));
        }
    }
    return next;
}

std::optional<Foundation::Date> StatusBarSummary::nextChange() const
{
    auto next = nextTooltipChange();
    for (auto const& provider : m_providers) {
        // A second late, so that the data reads as stale by then.
        if (provider.record.freshUntil && *provider.record.freshUntil > m_entry.date)
            keepEarliest(next, *provider.record.freshUntil + std::chrono::seconds(1));
    }
    return next;
}

} // namespace TavvoSurfaces
