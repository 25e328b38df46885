#include "TavvoHost/Observation/ObservedDates.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"

#include <cmath>
#include <cstdint>
#include <string>

namespace TavvoHost {

namespace {

using namespace std::chrono;

constexpr sys_seconds earliestDate { sys_days(year(2000) / January / 1) };
constexpr sys_seconds endOfLatestDate { sys_days(year(10000) / January / 1) };

std::optional<Foundation::Date> withinObservableYears(Foundation::Date date)
{
    if (date < earliestDate || date >= endOfLatestDate)
        return std::nullopt;
    return date;
}

}

std::optional<Foundation::Date> dateFromUnixSeconds(double seconds)
{
    if (!(seconds >= static_cast<double>(earliestDate.time_since_epoch().count())
            && seconds < static_cast<double>(endOfLatestDate.time_since_epoch().count())))
        return std::nullopt;
    return Foundation::Date(std::chrono::seconds(static_cast<std::int64_t>(std::floor(seconds))));
}

std::optional<Foundation::Date> dateFromTimestampText(std::string_view text)
{
    constexpr std::size_t wholeSeconds = 19; // YYYY-MM-DDTHH:MM:SS
    if (text.size() <= wholeSeconds)
        return std::nullopt;
    std::size_t zone = wholeSeconds;
    microseconds fraction(0);
    if (text[zone] == '.') {
        ++zone;
        microseconds::rep scale = 100'000;
        std::size_t const firstDigit = zone;
        for (; zone < text.size() && text[zone] >= '0' && text[zone] <= '9'; ++zone) {
            fraction += microseconds((text[zone] - '0') * scale);
            scale /= 10;
        }
        if (zone == firstDigit)
            return std::nullopt;
    }
    std::string withoutFraction(text.substr(0, wholeSeconds));
    withoutFraction.append(text.substr(zone));
    auto const date = Foundation::parseInternetDateTime(withoutFraction);
    if (!date)
        return std::nullopt;
    return withinObservableYears(*date + fraction);
}

}
