#include "Platform/Foundation/Date.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

namespace Foundation {

Date currentDate()
{
    return std::chrono::time_point_cast<std::chrono::microseconds>(std::chrono::system_clock::now());
}

Date addingTimeInterval(Date date, TimeInterval seconds)
{
    if (std::isnan(seconds))
        return date;

    // Beyond ±9.2e18 microseconds the move leaves Date's range whatever the
    // start, so saturate before converting to an integer.
    constexpr double limit = 9.2e18;
    double const micros = seconds * 1e6;
    if (micros >= limit)
        return Date::max();
    if (micros <= -limit)
        return Date::min();

    std::int64_t const delta = std::llround(micros);
    std::int64_t result = 0;
    if (__builtin_add_overflow(date.time_since_epoch().count(), delta, &result))
        return delta > 0 ? Date::max() : Date::min();
    return Date(std::chrono::microseconds(result));
}

}
