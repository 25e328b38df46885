// LimitNotificationRules: which desktop notifications an entry calls for,
// given what was already told: a displayed provider's binding limit
// worsening into tight or critical, a limit that had got that far
// starting a new window, and the codex forecast turning to "runs out
// before reset". Pure functions of the record and the entry.
#pragma once

#include "Platform/Foundation/DesktopNotifier.hpp"
#include "TavvoShared/Snapshot/CodexAnalyticsSummary.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetLimitSnapshot.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"
#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationRecord.hpp"

#include <chrono>
#include <variant>
#include <vector>

namespace TavvoSurfaces {

// Writers may move a window's reset date by a little from one report to
// the next; a new window moves it by hours.
inline constexpr std::chrono::minutes sameWindowTolerance { 5 };

// A limit as the entry shows it, and what happened to it.
struct LimitEvent {
    enum class Kind {
        worsened, // into `severity`, tight or critical
        reset, // a new window after tight or critical in the last one
    };
    Kind kind;
    TavvoWidgetProviderID provider;
    TavvoWidgetLimitSnapshot limit;
    NovikSeverity severity;

    friend bool operator==(const LimitEvent&, const LimitEvent&) = default;
};

// The codex forecast now says the quota runs out before it resets.
struct ForecastEvent {
    CodexAnalyticsSummary analytics;

    friend bool operator==(const ForecastEvent&, const ForecastEvent&) = default;
};

using LimitNotificationEvent = std::variant<LimitEvent, ForecastEvent>;

// Critical for a limit worsened into critical, normal for the rest.
Foundation::Urgency urgency(const LimitNotificationEvent& event);

// Whether an evaluation is the process's first: a state the record does
// not know is then taken as already there, not as news.
enum class Evaluation { first, later };

struct LimitNotificationOutcome {
    std::vector<LimitNotificationEvent> events; // codex's, claude's, then the forecast's
    LimitNotificationRecord record;

    friend bool operator==(const LimitNotificationOutcome&, const LimitNotificationOutcome&) = default;
};

// The events `entry` calls for after `record`, and the record that
// remembers them. Only fresh providers and a forecast that is not stale
// count, and of a provider only the limits still in their window at the
// entry's date; what they do not show leaves the record as it was. A
// limit or forecast the record knows is compared with it whatever the
// evaluation (what changed while no notifier ran is news); one it does not
// know is news on a later evaluation only, and recorded silently on the
// first.
LimitNotificationOutcome evaluateLimitNotifications(
    const LimitNotificationRecord& record, const TavvoWidgetEntry& entry, Evaluation evaluation);

} // namespace TavvoSurfaces
