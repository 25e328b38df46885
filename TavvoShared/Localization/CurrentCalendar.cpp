#include "TavvoShared/Localization/CurrentCalendar.hpp"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

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
    // Building a calendar loads the locale's week data, which costs several
    // times what cloning one does; the data depend on the locale alone, so
    // one calendar is kept per locale and each call takes a clone in the
    // zone in force at that call.
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<icu::Calendar>> prototypes;

    std::unique_ptr<icu::TimeZone> timeZone(zone == CalendarZone::utc
            ? icu::TimeZone::getGMT()->clone()
            : icu::TimeZone::detectHostTimeZone());
    if (!timeZone)
        return nullptr;
    std::unique_ptr<icu::Calendar> calendar;
    {
        std::scoped_lock const lock(mutex);
        auto& prototype = prototypes[locale.getName()];
        if (!prototype) {
            UErrorCode status = U_ZERO_ERROR;
            auto created = std::make_unique<icu::GregorianCalendar>(locale, status);
            // Instants are read and written in the proleptic Gregorian
            // calendar, so the same calendar prints them: ICU would
            // otherwise switch to the Julian one before October 1582 and
            // show 0001-01-01 as 3 January.
            created->setGregorianChange(icuDate(Foundation::Date::min()), status);
            if (U_FAILURE(status))
                return nullptr;
            prototype = std::move(created);
        }
        calendar.reset(prototype->clone());
    }
    if (!calendar)
        return nullptr;
    calendar->adoptTimeZone(timeZone.release());
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
