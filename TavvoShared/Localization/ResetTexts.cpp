#include "TavvoShared/Localization/ResetTexts.hpp"

#include "TavvoShared/Localization/CurrentCalendar.hpp"
#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TavvoShared/Localization/L10n.hpp"

#include <string_view>

namespace L10n {

namespace {

struct ResetKeys {
    std::string_view stale;
    std::string_view today;
    std::string_view otherDay;
};

std::string resetText(const ResetKeys& keys, Foundation::Date reset, Foundation::Date now)
{
    if (reset <= now)
        return tr(keys.stale);
    if (isSameCalendarDay(reset, now))
        return tr(keys.today, { shortTime(reset) });
    return tr(keys.otherDay, { shortDayTime(reset, YearDisplay::omitted) });
}

}

std::string resetExpandedText(Foundation::Date reset, Foundation::Date now)
{
    return resetText({ "reset.stale.expanded", "reset.today.expanded", "reset.other_day.expanded" }, reset, now);
}

std::string resetCompactText(Foundation::Date reset, Foundation::Date now)
{
    return resetText({ "reset.stale.compact", "reset.today.compact", "reset.other_day.compact" }, reset, now);
}

std::string timestampText(Foundation::Date date, Foundation::Date now)
{
    std::string text;
    if (isSameCalendarDay(date, now))
        text = shortTime(date);
    else
        text = shortDayTime(date, isSameCalendarYear(date, now) ? YearDisplay::omitted : YearDisplay::included);

    std::string unbreakable;
    unbreakable.reserve(text.size());
    for (char const character : text) {
        if (character == ' ')
            unbreakable += "\u00A0";
        else
            unbreakable += character;
    }
    return unbreakable;
}

}
