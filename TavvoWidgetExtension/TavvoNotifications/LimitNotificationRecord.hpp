// LimitNotificationRecord: what the notifier remembers between passes and
// between runs, so that each event is told once per limit and window: per
// limit, the window it was last seen in and the worst it got there; for
// the codex forecast, its window and whether "runs out before reset" was
// told in it.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetProviderID.hpp"

#include <compare>
#include <map>
#include <optional>
#include <string>

namespace TavvoSurfaces {

// A limit across snapshots: its id is stable within its provider only.
struct LimitKey {
    TavvoWidgetProviderID provider;
    std::string limitID;

    friend auto operator<=>(const LimitKey&, const LimitKey&) = default;
    friend bool operator==(const LimitKey&, const LimitKey&) = default;
};

struct LimitWindowRecord {
    // The window's reset date, which names the window; nothing while the
    // writer has not said.
    std::optional<Foundation::Date> resetDate;
    NovikSeverity highestSeverity;

    friend bool operator==(const LimitWindowRecord&, const LimitWindowRecord&) = default;
};

enum class ForecastNotice { pending, told };

struct ForecastWindowRecord {
    // The analytics' reset instant, which names the forecast's window.
    std::optional<Foundation::Date> resetAt;
    ForecastNotice runsOutBeforeReset;

    friend bool operator==(const ForecastWindowRecord&, const ForecastWindowRecord&) = default;
};

struct LimitNotificationRecord {
    std::map<LimitKey, LimitWindowRecord> limits;
    std::optional<ForecastWindowRecord> forecast;

    friend bool operator==(const LimitNotificationRecord&, const LimitNotificationRecord&) = default;
};

} // namespace TavvoSurfaces
