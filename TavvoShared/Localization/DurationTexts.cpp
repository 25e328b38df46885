#include "TavvoShared/Localization/DurationTexts.hpp"

#include "TavvoShared/Localization/L10n.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace L10n {

namespace {

constexpr std::int64_t secondsPerMinute = 60;
constexpr std::int64_t secondsPerHour = 3600;
constexpr std::int64_t secondsPerDay = 86400;

// The whole seconds from `now` until `until`, truncated toward zero. The
// interval is taken in floating point, so it never overflows; whatever
// lies beyond 64 bits of seconds (hundreds of billions of years) saturates.
std::int64_t wholeSecondsUntil(std::int64_t until, Foundation::Date now)
{
    auto const nowSeconds = std::chrono::duration<double>(now.time_since_epoch()).count();
    auto const interval = std::trunc(static_cast<double>(until) - nowSeconds);
    // 2^63 is exact in a double; every double below it converts safely.
    constexpr double limit = 9223372036854775808.0;
    if (interval >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (interval < -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(interval);
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

std::optional<std::string> countdown(std::optional<std::int64_t> until, Foundation::Date now)
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
