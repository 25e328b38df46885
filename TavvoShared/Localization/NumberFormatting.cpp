#include "TavvoShared/Localization/NumberFormatting.hpp"

#include "TavvoShared/Localization/L10n.hpp"

#include <unicode/numberformatter.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>

namespace L10n {

namespace {

using icu::number::LocalizedNumberFormatter;
using icu::number::NumberFormatter;
using icu::number::Precision;

enum class NumberStyle {
    decimal,
    currencyUSD,
    integer,
};

// The most fraction digits the number formatter accepts.
constexpr int largestFractionDigitCount = 999;

// A formatter is an immutable value whose format calls are safe from any
// thread, and building one costs far more than using it; so one is kept
// per language, style and digit count. Digit counts are the caller's, so
// the table is emptied when it grows past what any real use needs.
class NumberFormatters {
public:
    std::shared_ptr<const LocalizedNumberFormatter> formatter(const std::string& language, NumberStyle style, int maximumFractionDigits)
    {
        std::lock_guard const lock(m_mutex);
        if (m_formatters.size() >= 64)
            m_formatters.clear();
        auto& formatter = m_formatters[{ language, style, maximumFractionDigits }];
        if (!formatter)
            formatter = made(language, style, maximumFractionDigits);
        return formatter;
    }

private:
    // Nothing when ICU cannot build the formatter; the caller falls back.
    static std::shared_ptr<const LocalizedNumberFormatter> made(const std::string& language, NumberStyle style, int maximumFractionDigits)
    {
        auto formatter = NumberFormatter::withLocale(L10n::locale(language)).roundingMode(UNUM_ROUND_HALFEVEN);
        switch (style) {
        case NumberStyle::integer:
            return std::make_shared<const LocalizedNumberFormatter>(formatter);
        case NumberStyle::currencyUSD: {
            UErrorCode status = U_ZERO_ERROR;
            icu::CurrencyUnit const dollars(u"USD", status);
            if (U_FAILURE(status))
                return nullptr;
            formatter = formatter.unit(dollars);
            break;
        }
        case NumberStyle::decimal:
            break;
        }
        return std::make_shared<const LocalizedNumberFormatter>(formatter.precision(Precision::minMaxFraction(0, maximumFractionDigits)));
    }

    std::mutex m_mutex;
    std::map<std::tuple<std::string, NumberStyle, int>, std::shared_ptr<const LocalizedNumberFormatter>> m_formatters;
};

NumberFormatters& formatters()
{
    static NumberFormatters instance;
    return instance;
}

std::optional<std::string> formatted(icu::number::FormattedNumber&& number, UErrorCode status)
{
    if (U_FAILURE(status))
        return std::nullopt;
    auto const text = number.toString(status);
    if (U_FAILURE(status) || text.isEmpty())
        return std::nullopt;
    std::string result;
    return text.toUTF8String(result);
}

std::optional<std::string> formattedDecimal(const Foundation::Decimal& value, NumberStyle style, int maximumFractionDigits)
{
    auto const digits = std::clamp(maximumFractionDigits, 0, largestFractionDigitCount);
    auto const formatter = formatters().formatter(resolvedLanguage(), style, digits);
    if (!formatter)
        return std::nullopt;
    // The plain description is exact decimal text, so no digit passes
    // through binary floating point on its way to the formatter.
    auto const description = value.description();
    UErrorCode status = U_ZERO_ERROR;
    auto number = formatter->formatDecimal(description, status);
    return formatted(std::move(number), status);
}

}

std::string localizedDecimal(const Foundation::Decimal& value, int maximumFractionDigits)
{
    return formattedDecimal(value, NumberStyle::decimal, maximumFractionDigits).value_or(value.description());
}

std::string localizedCurrencyUSD(const Foundation::Decimal& value, int maximumFractionDigits)
{
    return formattedDecimal(value, NumberStyle::currencyUSD, maximumFractionDigits).value_or("$" + value.description());
}

std::string localizedInteger(std::int64_t value)
{
    // Plain digits are the last resort should ICU fail to build or format.
    auto const formatter = formatters().formatter(resolvedLanguage(), NumberStyle::integer, 0);
    if (!formatter)
        return std::to_string(value);
    UErrorCode status = U_ZERO_ERROR;
    auto number = formatter->formatInt(value, status);
    return formatted(std::move(number), status).value_or(std::to_string(value));
}

}
