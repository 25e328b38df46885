#include "Platform/Foundation/PreferredLanguages.hpp"

#include "Platform/Foundation/Environment.hpp"

#include <unicode/localebuilder.h>
#include <unicode/localematcher.h>
#include <unicode/locid.h>

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>

namespace Foundation {

namespace {

// A POSIX locale name: language[_territory][.codeset][@modifier].
struct PosixLocaleName {
    std::string_view language;
    std::string_view territory;
    std::string_view modifier;
};

PosixLocaleName parsedPosixName(std::string_view name)
{
    PosixLocaleName parsed;
    if (auto const at = name.find('@'); at != std::string_view::npos) {
        parsed.modifier = name.substr(at + 1);
        name = name.substr(0, at);
    }
    // The codeset says how bytes are encoded, nothing about the language.
    if (auto const dot = name.find('.'); dot != std::string_view::npos)
        name = name.substr(0, dot);
    if (auto const underscore = name.find('_'); underscore != std::string_view::npos) {
        parsed.territory = name.substr(underscore + 1);
        name = name.substr(0, underscore);
    }
    parsed.language = name;
    return parsed;
}

bool isNoPreference(std::string_view name)
{
    auto const language = parsedPosixName(name).language;
    return language == "C" || language == "POSIX";
}

// Left to ICU, a modifier becomes a private-use subtag ("@euro" ->
// "x-lvariant-euro") that defeats matching. The modifiers that name a
// script become that script; every other one ("euro", "valencia", …) says
// nothing a language match could use and is dropped.
std::string_view scriptForModifier(std::string_view modifier)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> scripts { {
        { "latin", "Latn" },
        { "cyrillic", "Cyrl" },
        { "devanagari", "Deva" },
    } };
    for (auto const& [name, script] : scripts) {
        if (modifier == name)
            return script;
    }
    return {};
}

// POSIX Chinese locales name a territory where BCP 47 matching needs the
// script: Traditional in Taiwan, Hong Kong and Macau, Simplified elsewhere.
std::string_view scriptForChinese(std::string_view territory)
{
    if (territory == "TW" || territory == "HK" || territory == "MO")
        return "Hant";
    if (territory == "CN" || territory == "SG" || territory == "MY")
        return "Hans";
    return {};
}

std::optional<std::string> languageTagForPosixName(std::string_view name)
{
    if (name.empty() || isNoPreference(name))
        return std::nullopt;
    auto const parsed = parsedPosixName(name);
    if (parsed.language.empty())
        return std::nullopt;

    std::string_view script = scriptForModifier(parsed.modifier);
    if (script.empty() && parsed.language == "zh")
        script = scriptForChinese(parsed.territory);

    // The builder rejects ill-formed subtags, so a garbled name is skipped
    // instead of turning into a tag that matches by accident.
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale const locale = icu::LocaleBuilder()
                                   .setLanguage(icu::StringPiece(parsed.language.data(), static_cast<int32_t>(parsed.language.size())))
                                   .setScript(icu::StringPiece(script.data(), static_cast<int32_t>(script.size())))
                                   .setRegion(icu::StringPiece(parsed.territory.data(), static_cast<int32_t>(parsed.territory.size())))
                                   .build(status);
    if (U_FAILURE(status))
        return std::nullopt;
    std::string tag = locale.toLanguageTag<std::string>(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return tag;
}

std::optional<std::string> effectiveLocaleName()
{
    for (char const* variable : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        if (auto value = environmentValue(variable))
            return value;
    }
    return std::nullopt;
}

std::vector<std::string_view> colonSeparated(std::string_view list)
{
    std::vector<std::string_view> entries;
    while (!list.empty()) {
        auto const colon = list.find(':');
        entries.push_back(list.substr(0, colon));
        if (colon == std::string_view::npos)
            break;
        list.remove_prefix(colon + 1);
    }
    return entries;
}

// The well-formed tags among `tags` as locales, each with its position in
// `tags`.
std::pair<std::vector<icu::Locale>, std::vector<std::size_t>> localesForTags(const std::vector<std::string>& tags)
{
    std::pair<std::vector<icu::Locale>, std::vector<std::size_t>> result;
    for (std::size_t index = 0; index < tags.size(); ++index) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale locale = icu::Locale::forLanguageTag(tags[index], status);
        if (U_SUCCESS(status) && !locale.isBogus()) {
            result.first.push_back(std::move(locale));
            result.second.push_back(index);
        }
    }
    return result;
}

}

std::vector<std::string> preferredLanguages()
{
    auto const effective = effectiveLocaleName();
    if (!effective || isNoPreference(*effective))
        return {};

    // The names are views into `languageList` and `effective`, which live
    // until the end of the function.
    std::optional<std::string> const languageList = environmentValue("LANGUAGE");
    std::vector<std::string_view> names = languageList ? colonSeparated(*languageList) : std::vector<std::string_view> {};
    names.push_back(*effective);

    std::vector<std::string> tags;
    for (auto const name : names) {
        auto tag = languageTagForPosixName(name);
        if (tag && std::find(tags.begin(), tags.end(), *tag) == tags.end())
            tags.push_back(std::move(*tag));
    }
    return tags;
}

namespace {

std::vector<std::string> bestMatch(const std::vector<std::string>& candidates, const std::vector<std::string>& preferences)
{
    auto const [supported, supportedPositions] = localesForTags(candidates);
    auto const desired = localesForTags(preferences).first;
    if (supported.empty() || desired.empty())
        return {};

    // Without a default locale the matcher answers "no match" instead of
    // silently picking the first candidate.
    UErrorCode status = U_ZERO_ERROR;
    icu::LocaleMatcher const matcher = icu::LocaleMatcher::Builder()
                                           .setSupportedLocales(supported.begin(), supported.end())
                                           .setNoDefaultLocale()
                                           .build(status);
    if (U_FAILURE(status))
        return {};
    icu::Locale::RangeIterator desiredLocales(desired.begin(), desired.end());
    auto const result = matcher.getBestMatchResult(desiredLocales, status);
    if (U_FAILURE(status) || result.getSupportedIndex() < 0)
        return {};
    return { candidates[supportedPositions[static_cast<std::size_t>(result.getSupportedIndex())]] };
}

// The answers so far. A program asks with the same few lists for every
// text it shows, and building a matcher costs far more than the lookup.
// The lists change only with the environment, so a handful of entries is
// all a process ever keeps; past that the memo starts over.
class Answers {
public:
    std::vector<std::string> answer(const std::vector<std::string>& candidates, const std::vector<std::string>& preferences)
    {
        std::lock_guard const lock(m_mutex);
        auto key = std::make_pair(candidates, preferences);
        if (auto const found = m_answers.find(key); found != m_answers.end())
            return found->second;
        if (m_answers.size() >= capacity)
            m_answers.clear();
        return m_answers.emplace(std::move(key), bestMatch(candidates, preferences)).first->second;
    }

private:
    static constexpr std::size_t capacity = 16;
    std::mutex m_mutex;
    std::map<std::pair<std::vector<std::string>, std::vector<std::string>>, std::vector<std::string>> m_answers;
};

}

std::vector<std::string> preferredLocalizations(
    const std::vector<std::string>& candidates, const std::vector<std::string>& preferences)
{
    static Answers answers;
    return answers.answer(candidates, preferences);
}

}
