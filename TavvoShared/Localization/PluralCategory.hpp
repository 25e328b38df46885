// PluralCategory: which plural form of a counted text a number takes in the
// language in force. The rules are our own, not the locale data's: they
// are fixed for negative counts too, where locale rules disagree.
#pragma once

#include <cstdint>
#include <string_view>

namespace L10n {

enum class PluralCategory {
    one,
    few,
    many,
    other,
};

// "one", "few", "many" or "other": the last segment of a plural key.
std::string_view suffix(PluralCategory category);

// The category of `count` for a language base ("ru", "zh", "en", ...):
//   Russian: last digit 1 but not 11 → one; last digit 2–4 but not 12–14
//   → few; anything else (negative counts included, since the remainders
//   take the sign of the count) → many.
//   Chinese: always other.
//   Every other language: one for exactly 1, otherwise other.
//   pluralCategory("ru", 22) == PluralCategory::few
//   pluralCategory("ru", -1) == PluralCategory::many
//   pluralCategory("fr", 0) == PluralCategory::other
PluralCategory pluralCategory(std::string_view languageBase, std::int64_t count);

// The category of `count` in the language in force.
PluralCategory pluralCategory(std::int64_t count);

}
