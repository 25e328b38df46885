#include "TavvoShared/Localization/CurrentCalendar.hpp"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <cstdint>
#include <optional>

namespace L10n {

namespace {

// The value of `field` at `date`, or nothing when ICU cannot compute it.
// Every Date lies well inside ICU's range, so failures are not expected;
// they are still not allowed to pass as a match.
std::optional<std::int32_t> fieldAt(icu::Calendar& calendar, Foundation::Date date, UCalendarDateFields field)
{
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(icuDate(date), status);
    auto const value = calendar.get(field, status);
    if (U_FAILURE(status))
        return std::nullopt;
    return value;
}

bool sameField(Foundation::Date first, Foundation::Date second, UCalendarDateFields field)
{
    auto const calendar = gregorianCalendar(CalendarZone::current, icu::Locale::getRoot());
    if (!calendar)
        return false;
    auto const firstValue = fieldAt(*calendar, first, field);
    auto const secondValue = fieldAt(*calendar, second, field);
    return firstValue && secondValue && *firstValue == *secondValue;
}

}

std::unique_ptr<icu::Calendar> gregorianCalendar(CalendarZone zone, const icu::Locale& locale)
{
    std::unique_ptr<icu::TimeZone> timeZone(zone == CalendarZone::utc
            ? icu::TimeZone::getGMT()->clone()
            : icu::TimeZone::detectHostTimeZone());
    if (!timeZone)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(timeZone.release(), locale, status);
    // Instants are read and written in the proleptic Gregorian calendar,
    // so the same calendar prints them: ICU would otherwise switch to the
    // Julian one before October 1582 and show 0001-01-01 as 3 January.
    calendar->setGregorianChange(icuDate(Foundation::Date::min()), status);
    if (U_FAILURE(status))
        return nullptr;
    return calendar;
}

UDate icuDate(Foundation::Date date)
{
    return static_cast<UDate>(std::chrono::floor<std::chrono::milliseconds>(date).time_since_epoch().count());
}

bool isSameCalendarDay(Foundation::Date first, Foundation::Date second)
{
    // The local Julian day number names one calendar day across years.
    return sameField(first, second, UCAL_JULIAN_DAY);
}

bool isSameCalendarYear(Foundation::Date first, Foundation::Date second)
{
    // The extended year keeps years before year 1 apart from those after.
    return sameField(first, second, UCAL_EXTENDED_YEAR);
}

}
