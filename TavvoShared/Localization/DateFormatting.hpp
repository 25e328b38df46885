// Short dates and times in the language in force, for the widget and for
// host programs. Fixed patterns print exactly as written in every
// language; templates name only the fields, and the language chooses their
// order, punctuation and forms. Local operations print in the time zone in
// force at the call, the UTC ones in a zero-offset zone.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <string>

namespace L10n {

enum class YearDisplay {
    omitted,
    included,
};

// "HH:mm", 24-hour in every language: "09:05".
std::string shortTime(Foundation::Date date);

// Day and abbreviated month: "31 Jan", "31 янв.", "1月31日".
std::string shortDate(Foundation::Date date);

// Day, abbreviated month and year: "31 Jan 2026", "2026年1月31日".
std::string shortDateWithYear(Foundation::Date date);

// The abbreviated month: "Jan", "янв.", "1月".
std::string shortMonth(Foundation::Date date);

// Day, month and time, without the year: "31 Jan, 09:05"; Chinese joins
// the parts with one space instead: "1月31日 09:05".
std::string shortDayTime(Foundation::Date date);

// The same, with the year included when asked for; the reset and
// timestamp texts use it.
std::string shortDayTime(Foundation::Date date, YearDisplay year);

// As shortDate, shortDateWithYear and shortMonth, but in UTC.
std::string shortDateUTC(Foundation::Date date);
std::string shortDateWithYearUTC(Foundation::Date date);
std::string shortMonthUTC(Foundation::Date date);

// The fixed pattern "d MMM, HH:mm" in UTC, with the language's month
// names but the same order and comma in every language.
std::string shortDayTimeUTC(Foundation::Date date);

}
