#include "TavvoShared/Localization/DurationTexts.hpp"

#include "TavvoShared/Localization/L10n.hpp"

#include <algorithm>
#include <cmath>

namespace L10n {

namespace {

constexpr std::int64_t secondsPerMinute = 60;
constexpr std::int64_t secondsPerHour = 3600;
constexpr std::int64_t secondsPerDay = 86400;

// The whole seconds from `now` until `until`, both truncated toward zero:
// `until` to its whole seconds since the epoch first. The interval is taken in floating point, where
// neither end can overflow: a Date spans about ±292,000 years, so the
// difference stays far inside 64 bits of seconds.
std::int64_t wholeSecondsUntil(Foundation::Date until, Foundation::Date now)
{
    auto const untilSeconds = std::chrono::duration_cast<std::chrono::seconds>(until.time_since_epoch()).count();
    auto const nowSeconds = std::chrono::duration<double>(now.time_since_epoch()).count();
    return static_cast<std::int64_t>(std::trunc(static_cast<double>(untilSeconds) - nowSeconds));
}

}

std::string durationLabel(std::chrono::minutes minutes)
{
    // Remainders and quotients by positive constants cannot overflow, not
    // even for the most negative count.
    auto const count = static_cast<std::int64_t>(minutes.count());
    if (count % 1440 == 0)
        return tr("duration.days.short", { count / 1440 });
    if (count % 60 == 0)
        return tr("duration.hours.short", { count / 60 });
    return tr("duration.minutes.short", { count });
}

std::string windowLabel(std::optional<std::chrono::minutes> minutes, std::string_view fallback)
{
    if (!minutes)
        return std::string(fallback);
    switch (minutes->count()) {
    case 60:
        return tr("duration.hours.short", { std::int64_t { 1 } });
    case 300:
        return tr("duration.hours.short", { std::int64_t { 5 } });
    case 1440:
        return tr("duration.hours.short", { std::int64_t { 24 } });
    case 10080:
        return tr("duration.week");
    default:
        return durationLabel(*minutes);
    }
}

std::optional<std::string> countdown(std::optional<Foundation::Date> until, Foundation::Date now)
{
    if (!until)
        return std::nullopt;
    auto const raw = wholeSecondsUntil(*until, now);
    auto const seconds = std::max<std::int64_t>(raw, 0);

    if (seconds >= secondsPerDay) {
        auto const days = seconds / secondsPerDay;
        auto const hours = seconds % secondsPerDay / secondsPerHour;
        if (hours >= 1)
            return tr("duration.days_hours", { days, hours });
        return tr("duration.days.short", { days });
    }
    if (seconds >= secondsPerHour) {
        auto const hours = seconds / secondsPerHour;
        auto const rest = seconds % secondsPerHour;
        if (rest >= secondsPerMinute)
            return tr("duration.hours_minutes", { hours, rest / secondsPerMinute });
        return tr("duration.hours.short", { hours });
    }
    return tr("duration.minutes.short", { std::max<std::int64_t>(seconds / secondsPerMinute, 1) });
}

}
