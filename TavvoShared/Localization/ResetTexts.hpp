// When a limit resets, and when something was observed, told relative to
// the present: a time alone for today, a day and time otherwise. "Today"
// and "this year" are judged in the time zone in force, the one the
// times are printed in.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <string>

namespace L10n {

// The reset line for a limit. A reset that is not later than `now` has
// passed; one later today shows its time ("Resets at 14:30"); any other
// shows day and time without the year, however far away it lies.
std::string resetExpandedText(Foundation::Date reset, Foundation::Date now);

// The same three cases in the shorter wording of compact surfaces.
std::string resetCompactText(Foundation::Date reset, Foundation::Date now);

// When something happened: "14:30" today, "31 Jan, 14:30" this year,
// "31 Jan 2025, 14:30" before, with every space a no-break space so the
// text never wraps inside.
std::string timestampText(Foundation::Date date, Foundation::Date now);

}
