#include "TavvoHost/Forecast/CodexForecast.hpp"

#include <chrono>

namespace TavvoHost {

CodexForecast forecastWeeklyWindow(const UsageWindow& weekly, Foundation::Date observedAt)
{
    CodexForecast const collecting { TavvoWidgetForecastState::collecting, std::nullopt };
    if (!weekly.length || !weekly.resetsAt || !weekly.usedPercent || *weekly.usedPercent <= 0)
        return collecting;

    using Seconds = std::chrono::duration<double>;
    Foundation::Date const start = *weekly.resetsAt - std::chrono::duration_cast<Foundation::Date::duration>(*weekly.length);
    double const elapsed = std::chrono::duration_cast<Seconds>(observedAt - start).count();
    if (elapsed < 3600)
        return collecting;

    Foundation::Date const exhaustion = Foundation::addingTimeInterval(start, elapsed * 100 / *weekly.usedPercent);
    if (exhaustion < *weekly.resetsAt)
        return { TavvoWidgetForecastState::exhaustsBeforeReset, exhaustion };
    return { TavvoWidgetForecastState::lastsUntilReset, std::nullopt };
}

}
