// TavvoWidgetPresentation: what an entry shows, decided once and without
// drawing: which providers are displayed and how fresh each one is, whether
// a provider's values and limit rows are shown, whether the analytics are
// out of date, when the data was last updated, and the texts the views
// share with the surfaces beside the widget (a limit's reset, the forecast
// sentence). The widget's views, the status bar and the notifier all read
// it, so none of them decides again.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoShared/Snapshot/CodexAnalyticsSummary.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderSnapshot.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/Freshness.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"

#include <optional>
#include <string>
#include <vector>

class TavvoWidgetPresentation {
public:
    // A displayed provider, as judged at the entry's date.
    struct Provider {
        TavvoWidgetProviderSnapshot record;
        Freshness freshness;

        bool stale() const { return freshness == Freshness::stale; }
        // Whether its binding limit's values (percentage, meter) are shown:
        // fresh data, or the last-known values of claude.
        bool valuesShown() const;
        // The binding limit while its values are shown; nothing otherwise.
        std::optional<TavvoWidgetLimitSnapshot> shownBinding() const;
        // Whether its limits are listed rather than the reason none is:
        // fresh and available with limits, or claude's last-known values
        // whatever status and staleness say.
        bool showsLimits() const;
    };

    explicit TavvoWidgetPresentation(const TavvoWidgetEntry& entry);

    // The entry's date, the present instant of everything shown.
    Foundation::Date date() const { return m_date; }
    // codex, then claude, each the first record of its id in the document;
    // empty without a document. Every layout shows these.
    const std::vector<Provider>& providers() const { return m_providers; }
    // Whether a displayed provider is fresh; the header wears the stale
    // badge otherwise.
    bool anyFresh() const;
    // Whether the analytics count as out of date at the entry's date: their
    // forecast says so, or their observation is no longer fresh. False
    // without analytics.
    bool analyticsStale() const;
    // The analytics' forecast sentence; nothing without analytics.
    std::optional<std::string> forecastSentence() const;
    // The latest observation among all the document's providers, duplicates
    // included, else the document's generation time. Nothing without a
    // document.
    std::optional<Foundation::Date> updatedAt() const { return m_updatedAt; }

private:
    Foundation::Date m_date;
    std::vector<Provider> m_providers;
    std::optional<CodexAnalyticsSummary> m_analytics;
    std::optional<Foundation::Date> m_updatedAt;
};

// When a limit resets, as its row lays it out: the label and the instant,
// two texts. A reset on the calendar day of `now` shows its time alone
// ("Resets", "11:26"); any other names its day as the host's reset texts
// do, day and month, never a weekday, which would repeat within a weekly
// window ("Resets", "Mar 20, 11:26"). Nothing when the limit does not say.
struct LimitResetTexts {
    std::string label;
    std::string instant;
};
std::optional<LimitResetTexts> limitResetTexts(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now);

// The same as one text, the label, a blank and the instant: "Resets 11:26",
// "Resets Mar 20, 11:26".
std::optional<std::string> limitResetText(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now);

// The forecast sentence of `analytics` at `now`: the stale text when
// `freshness` is stale whatever the state says, else the state's sentence,
// with the countdown to the predicted exhaustion when the quota runs out
// before its reset.
std::string forecastSentence(const CodexAnalyticsSummary& analytics, Foundation::Date now, Freshness freshness);
