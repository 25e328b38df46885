// StatusBarSummary: one entry of the widget as a status bar shows it: for
// each displayed provider its short title, the remaining share of its
// binding limit and how close that is to running out, whether the data is
// stale; the long form (every limit with its reset and countdown, the
// freshness, the forecast) for tooltips; and the classes a bar styles by.
// Every decision is the widget's own (which providers, which limit binds,
// when values are stale, claude's last-known values); only the wording is
// shorter.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TavvoSurfaces {

// One displayed provider.
struct StatusBarProvider {
    TavvoWidgetProviderSnapshot record;
    Freshness freshness;
    // The binding limit while its values are shown (fresh data, or the
    // last-known values of claude); nothing otherwise.
    std::optional<TavvoWidgetLimitSnapshot> shownBinding;
    // Whether the long form lists its limits, as the widget's column does,
    // rather than why none is shown.
    bool listsLimits;
    // Of the shown binding limit's remaining share; unknown when none.
    NovikSeverity severity;

    bool stale() const { return freshness == Freshness::stale; }
    // "Codex", "Claude".
    std::string shortTitle() const;
    // The record's title ("Codex Pro"), else the provider's name.
    std::string heading() const;
    // The shown binding limit's remaining share, "64%", or "—".
    std::string percentageText() const;
};

// A limit's share left as its row reads it, "64% left", or "—" when the
// writer does not know it.
std::string limitLeftText(const TavvoWidgetLimitSnapshot& limit);
// The time left until the limit resets, "in 1h 5m"; nothing once it has
// reset or when it does not say.
std::optional<std::string> limitCountdownText(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now);

// What stands in the bar when there is no document.
enum class StatusBarState { shown, empty, error };

class StatusBarSummary {
public:
    // `only` keeps one provider (`--provider`); nothing keeps every one the
    // widget displays.
    StatusBarSummary(TavvoWidgetEntry entry, std::optional<TavvoWidgetProviderID> only);

    const TavvoWidgetEntry& entry() const { return m_entry; }
    const std::vector<StatusBarProvider>& providers() const { return m_providers; }
    StatusBarState state() const;

    // "Tavvo: <the widget's empty-state message>" when there is no
    // document; nothing otherwise.
    std::optional<std::string> emptyLine() const;

    // The worst severity among the shown binding limits: unknown only when
    // none is known.
    NovikSeverity worstSeverity() const;
    // The worst severity's name, then "stale" when a displayed provider is
    // stale; "empty" or "error" alone without a document.
    std::vector<std::string> classes() const;
    // The least remaining share shown, within 0…100; nothing when none is.
    std::optional<std::int64_t> leastRemaining() const;

    // The line in words, for a screen reader: "Codex: 64% left. Claude:
    // 42% left, outdated"; a provider whose share is not shown says why
    // ("Codex: Not connected"). The empty line without a document.
    std::string spokenLine() const;

    // The limits a provider's part of the long form lists, each with its
    // gauge; none when it says why none is shown instead.
    const std::vector<TavvoWidgetLimitSnapshot>& listedLimits(const StatusBarProvider& provider) const;

    // The long form, one line each: per provider its title and every limit
    // ("5h: 64% left · Resets 18:40 · in 1h 5m") or why none is
    // shown, then the forecast sentence and "Updated 22:45". Without a
    // document, the empty-state message and its explanation.
    std::string tooltip() const;

    // A provider's part of the long form: its limits, or why none is shown,
    // and when its stale values were last known. Its heading not included.
    std::vector<std::string> longFormLines(const StatusBarProvider& provider) const;
    // The codex forecast sentence, when codex is displayed and has
    // analytics ("Forecast outdated" once they are stale).
    std::optional<std::string> forecastSentence() const;
    // "Updated 22:45", from the latest observation; nothing without a
    // document.
    std::optional<std::string> updatedLine() const;

    // The next instant after the entry's date at which time alone changes
    // the long form (a countdown's minute, the forecast going stale);
    // nothing when no time will.
    std::optional<Foundation::Date> nextTooltipChange() const;
    // The next instant at which time alone changes anything of the
    // summary: the long form's next change, or a displayed provider's
    // data turning stale; nothing when no time will. Drawn from the
    // document alone, so that it stays the same until something changes.
    std::optional<Foundation::Date> nextChange() const;

private:
    TavvoWidgetEntry m_entry;
    TavvoWidgetPresentation m_presentation;
    std::vector<StatusBarProvider> m_providers;
};

} // namespace TavvoSurfaces
