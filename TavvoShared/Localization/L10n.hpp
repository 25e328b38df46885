// L10n: the language the whole system speaks, the user's override of it
// shared between the host program and the widget, and `tr`, the one way a
// localization key becomes text.
//
// Every call re-reads the override, re-resolves the language and re-finds
// the string table, so a change made by another process takes effect at
// the next lookup. A file is parsed again only when it has changed.
#pragma once

#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/NotificationCenter.hpp"

#include <unicode/locid.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace L10n {

// A format argument of a localized text: integers are signed 64-bit values,
// texts are UTF-8 strings.
using Argument = std::variant<std::int64_t, std::string>;

// "en", "ru", "zh-Hans", "fr", "es", in this order.
const std::vector<std::string>& supportedLocalizations();

// "tavvo.language.override".
std::string_view languageOverrideStorageKey();

// "TavvoLanguageDidChange", created once.
const Foundation::NotificationName& languageDidChangeNotification();

// One of the supported codes: the override when there is one, else the
// best match of the user's preferred languages, normalized.
std::string resolvedLanguage();

// The locale of `resolvedLanguage()`.
icu::Locale locale();

// The locale of one supported code: formatters resolve the language once
// per call and build everything from that one answer.
icu::Locale locale(std::string_view language);

// The stored override exactly as stored, or nothing.
std::optional<std::string> selectedLanguageOverride();

// Stores the normalized code (or removes the override for nothing or an
// empty text) in the shared defaults, removes any value from the standard
// defaults, and posts `languageDidChangeNotification()`. Throws
// std::system_error when the defaults cannot be written (nothing is posted).
void setLanguageOverride(const std::optional<std::string>& value);

// The files the override is read from (the shared defaults, then the
// standard ones), for a program that wants to notice another process
// changing it. They need not exist.
std::vector<std::filesystem::path> languageOverrideFiles();

// The language's own name for itself: "Русский" for "ru"; "English" for any
// unsupported code.
std::string displayName(std::string_view code);

// Maps any code onto a supported one (case-sensitive, hyphen-separated):
//   normalizedLanguageCode("zh-Hant-TW") == "zh-Hans"
//   normalizedLanguageCode("fr-CA") == "fr"
//   normalizedLanguageCode("EN") == "en", normalizedLanguageCode("pt-BR") == "en"
std::string normalizedLanguageCode(std::string_view code);

// "zh" for Chinese, else `resolvedLanguage()` up to its first hyphen.
std::string languageBase();

// The same cut of a given code: languageBase("zh-Hans") == "zh".
std::string languageBase(std::string_view language);

// The string-table folder of the language in force, or the library's own
// bundle when none is found.
Foundation::Bundle localizationBundle();

// The text of `key` in the language in force, formatted with `arguments`
// (positional printf-style conversions) when there are any. A missing key
// yields the key. With TAVVO_L10N_SHOW_KEYS=1 the result is the key, or
// "key[arg1|arg2]" when there are arguments.
std::string tr(std::string_view key, const std::vector<Argument>& arguments = {});

}
