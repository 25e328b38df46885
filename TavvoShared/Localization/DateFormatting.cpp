#include "TavvoShared/Localization/DateFormatting.hpp"

#include "TavvoShared/Localization/CurrentCalendar.hpp"
#include "TavvoShared/Localization/L10n.hpp"

#include <fmt/format.h>

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>

namespace L10n {

namespace {

enum class PatternKind {
    fixed,
    localizedTemplate,
};

struct DatePattern {
    PatternKind kind;
    std::u16string_view text;
};

constexpr DatePattern dayMonth { PatternKind::localizedTemplate, u"dMMM" };
constexpr DatePattern dayMonthYear { PatternKind::localizedTemplate, u"dMMMyyyy" };
constexpr DatePattern month { PatternKind::localizedTemplate, u"MMM" };
constexpr DatePattern dayMonthHourMinute { PatternKind::fixed, u"d MMM, HH:mm" };

// Building a pattern generator or a date formatter loads locale data and
// costs far more than formatting. Both depend only on the language and the
// pattern, so one of each is kept per pair and every call formats with its
// own clone, given the calendar and zone in force at that call.
class FormatterPrototypes {
public:
    std::unique_ptr<icu::SimpleDateFormat> formatter(const std::string& language, const DatePattern& pattern)
    {
        std::lock_guard const lock(m_mutex);
        auto const locale = L10n::locale(language);
        auto const resolved = resolvedPattern(language, locale, pattern);
        auto& prototype = m_prototypes[{ language, resolved }];
        if (!prototype) {
            UErrorCode status = U_ZERO_ERROR;
            auto created = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(resolved.data(), static_cast<int32_t>(resolved.size())), locale, status);
            if (U_FAILURE(status))
                return nullptr;
            prototype = std::move(created);
        }
        return std::unique_ptr<icu::SimpleDateFormat>(prototype->clone());
    }

private:
    // The language's best pattern for a template, or the fixed pattern as
    // written. Should the generator fail, the template itself stands in: it
    // is a valid pattern with the same fields, only less well punctuated.
    std::u16string resolvedPattern(const std::string& language, const icu::Locale& locale, const DatePattern& pattern)
    {
        std::u16string const text(pattern.text);
        if (pattern.kind == PatternKind::fixed)
            return text;
        auto& best = m_bestPatterns[{ language, text }];
        if (best.empty()) {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::DateTimePatternGenerator> generator(icu::DateTimePatternGenerator::createInstance(locale, status));
            icu::UnicodeString found;
            if (U_SUCCESS(status))
                found = generator->getBestPattern(icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())), status);
            best = U_SUCCESS(status) && !found.isEmpty() ? std::u16string(found.getBuffer(), static_cast<std::size_t>(found.length())) : text;
        }
        return best;
    }

    std::mutex m_mutex;
    std::map<std::pair<std::string, std::u16string>, std::u16string> m_bestPatterns;
    std::map<std::pair<std::string, std::u16string>, std::unique_ptr<icu::SimpleDateFormat>> m_prototypes;
};

FormatterPrototypes& prototypes()
{
    static FormatterPrototypes instance;
    return instance;
}

std::string formattedDate(Foundation::Date date, const std::string& language, const DatePattern& pattern, CalendarZone zone)
{
    auto formatter = prototypes().formatter(language, pattern);
    auto calendar = gregorianCalendar(zone, L10n::locale(language));
    // ICU builds every formatter these patterns need from data it ships;
    // should it still fail, the widget's mark for a missing value stands in.
    if (!formatter || !calendar)
        return "—";
    formatter->adoptCalendar(calendar.release());
    icu::UnicodeString text;
    formatter->format(icuDate(date), text);
    std::string result;
    return text.toUTF8String(result);
}

// The fixed pattern "HH:mm" in the current zone. It prints the same
// digits in every supported language, so the calendar's fields give it
// without a formatter: building one loads the language's whole set of
// date symbols, the costliest step of a status-bar line that shows times
// and nothing else of dates.
std::string hourAndMinute(Foundation::Date date)
{
    auto const calendar = gregorianCalendar(CalendarZone::current, icu::Locale::getRoot());
    if (!calendar)
        return "—";
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(icuDate(date), status);
    auto const hour = calendar->get(UCAL_HOUR_OF_DAY, status);
    auto const minute = calendar->get(UCAL_MINUTE, status);
    if (U_FAILURE(status))
        return "—";
    return fmt::format("{:02}:{:02}", hour, minute);
}

std::string dayTime(Foundation::Date date, const std::string& language, YearDisplay year)
{
    auto const day = formattedDate(date, language, year == YearDisplay::included ? dayMonthYear : dayMonth, CalendarZone::current);
    auto const separator = languageBase(language) == "zh" ? " " : ", ";
    return day + separator + hourAndMinute(date);
}

}

std::string shortTime(Foundation::Date date)
{
    return hourAndMinute(date);
}

std::string shortDate(Foundation::Date date)
{
    return formattedDate(date, resolvedLanguage(), dayMonth, CalendarZone::current);
}

std::string shortDateWithYear(Foundation::Date date)
{
    return formattedDate(date, resolvedLanguage(), dayMonthYear, CalendarZone::current);
}

std::string shortMonth(Foundation::Date date)
{
    return formattedDate(date, resolvedLanguage(), month, CalendarZone::current);
}

std::string shortDayTime(Foundation::Date date)
{
    return shortDayTime(date, YearDisplay::omitted);
}

std::string shortDayTime(Foundation::Date date, YearDisplay year)
{
    return dayTime(date, resolvedLanguage(), year);
}

std::string shortDateUTC(Foundation::Date date)
{
    return formattedDate(date, resolvedLanguage(), dayMonth, CalendarZone::utc);
}

std::string shortDateWithYearUTC(Foundation::Date date)
{
    return formattedDate(date, resolvedLanguage(), dayMonthYear, CalendarZone::utc);
}

std::string shortMonthUTC(Foundation::Date date)
{
    return formattedDate(date, resolvedLanguage(), month, CalendarZone::utc);
}

std::string shortDayTimeUTC(Foundation::Date date)
{
    return formattedDate(date, resolvedLanguage(), dayMonthHourMinute, CalendarZone::utc);
}

}
