// WidgetCodexAnalyticsSummary: the codex analytics block of the large
// layouts: account, quota and plan, the forecast, a meter, and the week's
// tokens and credits.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/UI/View.hpp"
#include "TavvoShared/NovikDesign/NovikMeter.hpp"
#include "TavvoShared/Snapshot/CodexAnalyticsSummary.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/Freshness.hpp"

#include <optional>
#include <string>

class WidgetCodexAnalyticsSummary {
public:
    // `now` is the entry's date, the reference of the countdown; stale
    // `freshness` (decided by the root view) presents the data as out of
    // date.
    WidgetCodexAnalyticsSummary(CodexAnalyticsSummary summary, Foundation::Date now, Freshness freshness);

    const CodexAnalyticsSummary& summary() const { return m_summary; }
    Foundation::Date now() const { return m_now; }
    bool stale() const { return m_freshness == Freshness::stale; }

    // The account label, else the overview title.
    std::string titleLine() const;
    // Quota and plan titles joined by " · "; nothing when that is empty.
    std::optional<std::string> subtitleLine() const;
    UI::Color forecastColor() const;
    NovikMeter meter() const;
    // The meter as a screen reader finds it: labelled with the title and
    // subtitle lines, valued at the share left, described by the forecast.
    // Nothing while stale or without a share, when the track is drawn empty.
    std::optional<UI::AccessibilityGauge> gauge() const;
    // The week's tokens, shortened with the thousands or millions suffix.
    std::string tokensValue() const;
    // The week's credits with at most one fraction digit, or "—".
    std::string creditsValue() const;

    UI::View metricsRow() const;
    UI::View body() const;

private:
    CodexAnalyticsSummary m_summary;
    Foundation::Date m_now;
    Freshness m_freshness;
};
