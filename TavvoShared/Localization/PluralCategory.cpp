#include "TavvoShared/Localization/PluralCategory.hpp"

#include "TavvoShared/Localization/L10n.hpp"

namespace L10n {

std::string_view suffix(PluralCategory category)
{
    switch (category) {
    case PluralCategory::one:
        return "one";
    case PluralCategory::few:
        return "few";
    case PluralCategory::many:
        return "many";
    case PluralCategory::other:
        break;
    }
    return "other";
}

PluralCategory pluralCategory(std::string_view languageBase, std::int64_t count)
{
    if (languageBase == "ru") {
        // Remainders of truncating division never overflow, INT64_MIN
        // included, and keep the count's sign.
        auto const lastDigit = count % 10;
        auto const lastTwoDigits = count % 100;
        if (lastDigit == 1 && lastTwoDigits != 11)
            return PluralCategory::one;
        if (lastDigit >= 2 && lastDigit <= 4 && (lastTwoDigits < 12 || lastTwoDigits > 14))
            return PluralCategory::few;
        return PluralCategory::many;
    }
    if (languageBase == "zh")
        return PluralCategory::other;
    return count == 1 ? PluralCategory::one : PluralCategory::other;
}

PluralCategory pluralCategory(std::int64_t count)
{
    return pluralCategory(languageBase(), count);
}

}
