#include "Platform/Foundation/PreferredLanguages.hpp"

#include "TestSupport/ScopedEnvironment.hpp"

#include <gtest/gtest.h>

using Foundation::preferredLanguages;
using Foundation::preferredLocalizations;
using Strings = std::vector<std::string>;

TEST(PreferredLanguages, ComeFromTheLocaleEnvironmentAsLanguageTags)
{
    struct Case {
        std::optional<std::string> language, all, messages, lang;
        Strings expected;
    };
    std::optional<std::string> const unset;
    Case const cases[] = {
        // The locale in force: LC_ALL, then LC_MESSAGES, then LANG; empty is unset.
        { unset, unset, unset, "fr_CA.UTF-8", { "fr-CA" } },
        { unset, "", "ru_RU.UTF-8", "en_US.UTF-8", { "ru-RU" } },
        { unset, unset, unset, unset, {} },
        // C and POSIX are no preference, and silence LANGUAGE too.
        { "fr", unset, unset, "C.UTF-8", {} },
        { "fr", "POSIX", unset, "en_US.UTF-8", {} },
        // LANGUAGE comes first, as a colon list with empty entries skipped.
        { "de_AT:ru::fr", unset, unset, "en_GB.UTF-8", { "de-AT", "ru", "fr", "en-GB" } },
        { "en_GB:C", unset, unset, "en_GB.UTF-8", { "en-GB" } },
        // Chinese territories name a script; modifiers are mapped or dropped.
        { "zh_TW:zh_HK:zh_CN:zh_SG:zh", unset, unset, "en_US", { "zh-Hant-TW", "zh-Hant-HK", "zh-Hans-CN", "zh-Hans-SG", "zh", "en-US" } },
        { "sr_RS@latin:sr_RS@cyrillic", unset, unset, "de_DE.ISO-8859-15@euro", { "sr-Latn-RS", "sr-Cyrl-RS", "de-DE" } },
        // Names that make no well-formed tag are skipped.
        { "x_y:fr-FR:_US", unset, unset, "en_US", { "en-US" } },
    };
    for (auto const& test : cases) {
        ScopedEnvironment const environment {
            { "LANGUAGE", test.language }, { "LC_ALL", test.all }, { "LC_MESSAGES", test.messages }, { "LANG", test.lang } };
        EXPECT_EQ(preferredLanguages(), test.expected)
            << test.language.value_or("-") << " " << test.all.value_or("-") << " " << test.messages.value_or("-") << " "
            << test.lang.value_or("-");
    }
}

TEST(PreferredLanguages, TheBestCandidateIsReturnedAsWritten)
{
    Strings const supported { "en", "ru", "zh-Hans", "fr", "es" };
    struct Case {
        Strings preferences;
        Strings expected;
    };
    Case const cases[] = {
        { { "fr-CA" }, { "fr" } },
        { { "zh-Hans-CN" }, { "zh-Hans" } },
        { { "en-GB", "ru" }, { "en" } },
        { { "de", "pt-BR", "ru-RU" }, { "ru" } },
        { { "de" }, {} },
        { {}, {} },
        { { "not a tag!", "fr" }, { "fr" } },
    };
    for (auto const& test : cases) {
        EXPECT_EQ(preferredLocalizations(supported, test.preferences), test.expected)
            << (test.preferences.empty() ? "none" : test.preferences.front());
    }
    EXPECT_EQ(preferredLocalizations({ "bad tag", "fr" }, { "fr-FR" }), Strings { "fr" }) << "positions survive a skipped candidate";
    EXPECT_EQ(preferredLocalizations({}, { "fr" }), Strings {});
}
