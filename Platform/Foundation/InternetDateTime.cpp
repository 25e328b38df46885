#include "Platform/Foundation/InternetDateTime.hpp"

#include <fmt/format.h>

namespace Foundation {

using namespace std::chrono;

namespace {

// The value of text[position, position + count) when it is all ASCII digits.
std::optional<int> digits(std::string_view text, std::size_t position, std::size_t count)
{
    int value = 0;
    for (std::size_t i = position; i < position + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

constexpr auto earliestWritable = sys_days(year(0) / January / 1);
constexpr auto latestWritable = sys_days(year(9999) / December / 31) + days(1);

}

std::optional<Date> parseInternetDateTime(std::string_view text)
{
    //            0123456789012345678
    // layout:    YYYY-MM-DDTHH:MM:SS then Z or ±HH:MM
    if (text.size() != 20 && text.size() != 25)
        return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;

    auto const y = digits(text, 0, 4);
    auto const mo = digits(text, 5, 2);
    auto const d = digits(text, 8, 2);
    auto const h = digits(text, 11, 2);
    auto const mi = digits(text, 14, 2);
    auto const s = digits(text, 17, 2);
    if (!y || !mo || !d || !h || !mi || !s)
        return std::nullopt;
    if (*h > 23 || *mi > 59 || *s > 59)
        return std::nullopt;
    year_month_day const date(year(*y), month(static_cast<unsigned>(*mo)), day(static_cast<unsigned>(*d)));
    if (!date.ok())
        return std::nullopt;

    seconds offset(0);
    if (text.size() == 20) {
        if (text[19] != 'Z')
            return std::nullopt;
    } else {
        if ((text[19] != '+' && text[19] != '-') || text[22] != ':')
            return std::nullopt;
        auto const offsetHours = digits(text, 20, 2);
        auto const offsetMinutes = digits(text, 23, 2);
        if (!offsetHours || !offsetMinutes || *offsetHours > 23 || *offsetMinutes > 59)
            return std::nullopt;
        offset = hours(*offsetHours) + minutes(*offsetMinutes);
        if (text[19] == '-')
            offset = -offset;
    }

    // Local wall time minus its offset from UTC. Every term is bounded by
    // the four-digit year, far inside the microsecond range.
    auto const local = sys_days(date) + hours(*h) + minutes(*mi) + seconds(*s);
    return time_point_cast<microseconds>(local - offset);
}

std::optional<std::string> formatInternetDateTime(Date date)
{
    if (date < earliestWritable || date >= latestWritable)
        return std::nullopt;
    auto const whole = floor<seconds>(date);
    auto const day = floor<days>(whole);
    year_month_day const calendar(day);
    hh_mm_ss const time(whole - day);
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}Z", static_cast<int>(calendar.year()),
        static_cast<unsigned>(calendar.month()), static_cast<unsigned>(calendar.day()), time.hours().count(),
        time.minutes().count(), time.seconds().count());
}

}
