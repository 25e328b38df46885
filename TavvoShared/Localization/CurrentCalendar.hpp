// CurrentCalendar: the calendar in which local dates are printed and in
// which "the same day" and "the same year" are judged, so that the two
// always agree: Gregorian, in the time zone in force at the moment of the
// call (the TZ environment as ICU reads it), or in UTC.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <unicode/calendar.h>
#include <unicode/locid.h>

#include <memory>

namespace L10n {

enum class CalendarZone {
    current,
    utc,
};

// A fresh Gregorian calendar in `zone`. The current zone is detected anew
// on every call, so a change of TZ takes effect at once.
std::unique_ptr<icu::Calendar> gregorianCalendar(CalendarZone zone, const icu::Locale& locale);

// `date` as ICU's milliseconds since the epoch. Whole milliseconds are
// exact in a double over Date's whole range; the microseconds below them
// never decide a printed field, so they are floored away first.
UDate icuDate(Foundation::Date date);

// Whether the two instants fall on the same calendar day, or in the same
// calendar year, in the current time zone.
bool isSameCalendarDay(Foundation::Date first, Foundation::Date second);
bool isSameCalendarYear(Foundation::Date first, Foundation::Date second);

}
