// Date: an absolute instant, and the time-interval arithmetic on it.
#pragma once

#include <chrono>
#include <functional>

namespace Foundation {

// Microseconds since the Unix epoch in 64 bits: sub-second resolution and a
// range of about ±292,000 years, so every instant of the years 0001–9999
// (and arithmetic around them) is representable. Nanoseconds would not be.
using Date = std::chrono::sys_time<std::chrono::microseconds>;

// Intervals between instants, in seconds, held as a double as the platform
// does (time-to-live values are given this way).
using TimeInterval = double;

// The present, read from the system's clock to the microsecond. The one
// place the real clock is read: everything else is handed its `now`.
Date currentDate();

// `date` moved by `seconds`. The result saturates at the ends of Date's
// range instead of overflowing; a NaN interval leaves `date` unchanged.
Date addingTimeInterval(Date date, TimeInterval seconds);

}

template <>
struct std::hash<Foundation::Date> {
    std::size_t operator()(const Foundation::Date& date) const noexcept
    {
        return std::hash<Foundation::Date::rep>()(date.time_since_epoch().count());
    }
};
