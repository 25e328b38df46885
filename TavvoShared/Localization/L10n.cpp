#include "TavvoShared/Localization/L10n.hpp"

#include "Platform/Foundation/Environment.hpp"
#include "Platform/Foundation/PreferredLanguages.hpp"
#include "Platform/Foundation/UserDefaults.hpp"
#include "TavvoShared/Localization/FormattedText.hpp"
#include "TavvoShared/Localization/LocalizationBundleMarker.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include <fmt/ranges.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <ranges>
#include <utility>

namespace L10n {

namespace {

using Foundation::Bundle;
using Foundation::UserDefaults;

constexpr std::array<std::pair<std::string_view, std::string_view>, 5> displayNames { {
    { "en", "English" },
    { "ru", "Русский" },
    { "zh-Hans", "简体中文" },
    { "fr", "Français" },
    { "es", "Español" },
} };

// The suite the host program and the widget share, named by the group
// identifier; nothing when that name cannot be opened as a suite.
std::optional<UserDefaults> sharedSuite()
{
    return UserDefaults::withSuiteName(TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(Bundle::mainBundle()));
}

// The override, read from the shared suite first; the standard store is a
// fallback only for a key absent there, so an empty text in the shared
// suite means "no override" even when the standard store holds a value.
std::optional<std::string> storedOverride()
{
    auto const shared = sharedSuite();
    auto value = shared ? shared->stringForKey(languageOverrideStorageKey()) : std::nullopt;
    if (!value)
        value = UserDefaults::standardUserDefaults().stringForKey(languageOverrideStorageKey());
    if (!value || value->empty())
        return std::nullopt;
    return value;
}

std::string lowercased(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
        [](char character) { return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character; });
    return result;
}

// The first language folder of the library's bundle named by one of
// `names`; the library's bundle itself when none is there or it cannot be
// opened.
Bundle languageFolder(std::initializer_list<std::string> names)
{
    auto const library = LocalizationBundleMarker::bundle();
    for (auto const& name : names) {
        if (auto const path = library.pathForResource(name, "lproj"))
            return Bundle::withPath(*path).value_or(library);
    }
    return library;
}

// What the keys mode shows: "key", or "key[arg1|arg2]".
std::string keyWithArguments(std::string_view key, const std::vector<Argument>& arguments)
{
    if (arguments.empty())
        return std::string(key);
    auto const text = [](const Argument& argument) {
        if (auto const* integer = std::get_if<std::int64_t>(&argument))
            return std::to_string(*integer);
        return std::get<std::string>(argument);
    };
    return fmt::format("{}[{}]", key, fmt::join(arguments | std::views::transform(text), "|"));
}

}

const std::vector<std::string>& supportedLocalizations()
{
    static std::vector<std::string> const codes { "en", "ru", "zh-Hans", "fr", "es" };
    return codes;
}

std::string_view languageOverrideStorageKey()
{
    return "tavvo.language.override";
}

const Foundation::NotificationName& languageDidChangeNotification()
{
    static Foundation::NotificationName const name { "TavvoLanguageDidChange" };
    return name;
}

std::string resolvedLanguage()
{
    if (auto const override = storedOverride())
        return normalizedLanguageCode(*override);
    auto const matched = Foundation::preferredLocalizations(supportedLocalizations(), Foundation::preferredLanguages());
    return normalizedLanguageCode(matched.empty() ? "en" : matched.front());
}

icu::Locale locale()
{
    return locale(resolvedLanguage());
}

icu::Locale locale(std::string_view language)
{
    // Every supported code is a well-formed tag, so the status stays clean.
    UErrorCode status = U_ZERO_ERROR;
    return icu::Locale::forLanguageTag(language, status);
}

std::optional<std::string> selectedLanguageOverride()
{
    return storedOverride();
}

std::vector<std::filesystem::path> languageOverrideFiles()
{
    std::vector<std::filesystem::path> files;
    if (auto const shared = sharedSuite(); shared && shared->fileURL())
        files.push_back(*shared->fileURL());
    if (auto const standard = UserDefaults::standardUserDefaults().fileURL())
        files.push_back(*standard);
    return files;
}

void setLanguageOverride(const std::optional<std::string>& value)
{
    auto const standard = UserDefaults::standardUserDefaults();
    auto const shared = sharedSuite();
    auto const& target = shared ? *shared : standard;
    if (!value || value->empty())
        target.removeObjectForKey(languageOverrideStorageKey());
    else
        target.setObject(normalizedLanguageCode(*value), languageOverrideStorageKey());
    // A stale value in the standard store must not come back as a fallback;
    // but when the shared suite could not be opened, the standard store
    // holds the override just written and keeps it.
    if (shared)
        standard.removeObjectForKey(languageOverrideStorageKey());
    Foundation::NotificationCenter::defaultCenter().postNotificationName(languageDidChangeNotification());
}

std::string displayName(std::string_view code)
{
    auto const normalized = normalizedLanguageCode(code);
    auto const entry = std::find_if(displayNames.begin(), displayNames.end(),
        [&](const auto& candidate) { return candidate.first == normalized; });
    return std::string(entry->second);
}

std::string normalizedLanguageCode(std::string_view code)
{
    // Any Chinese, Traditional included, reads best in the one Chinese we have.
    if (code.starts_with("zh"))
        return "zh-Hans";
    for (auto const& supported : supportedLocalizations()) {
        if (code == supported || (code.starts_with(supported) && code.substr(supported.size()).starts_with('-')))
            return supported;
    }
    // The first non-empty hyphen-separated piece may still be a language we
    // speak ("-ru", "--es-").
    auto const start = code.find_first_not_of('-');
    if (start == std::string_view::npos)
        return "en";
    auto const firstPiece = code.substr(start, code.find('-', start) - start);
    for (std::string_view const candidate : { "en", "ru", "fr", "es" }) {
        if (firstPiece == candidate)
            return std::string(candidate);
    }
    return "en";
}

std::string languageBase()
{
    return languageBase(resolvedLanguage());
}

std::string languageBase(std::string_view language)
{
    if (language.starts_with("zh"))
        return "zh";
    return std::string(language.substr(0, language.find('-')));
}

Bundle localizationBundle()
{
    // One resolution serves all the names, so they agree even if the
    // override changes meanwhile.
    auto const language = resolvedLanguage();
    auto const base = languageBase(language);
    return languageFolder({ language, lowercased(language), base, lowercased(base), "en" });
}

std::string tr(std::string_view key, const std::vector<Argument>& arguments)
{
    if (Foundation::environmentValue("TAVVO_L10N_SHOW_KEYS") == "1")
        return keyWithArguments(key, arguments);

    auto const text = localizationBundle().localizedStringForKey(key);
    if (arguments.empty())
        return text;
    if (auto formatted = formattedText(text, arguments))
        return std::move(*formatted);
    // A translation whose conversions do not fit its arguments is a fault of
    // one table; the English text, which every table follows, stands in.
    if (auto formatted = formattedText(languageFolder({ "en" }).localizedStringForKey(key), arguments))
        return std::move(*formatted);
    return std::string(key);
}

}
