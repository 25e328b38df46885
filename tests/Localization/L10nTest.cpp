#include "TavvoShared/Localization/L10n.hpp"

#include "Platform/Foundation/JSONObjectFile.hpp"
#include "Platform/Foundation/UserDefaults.hpp"
#include "TavvoShared/Localization/FormattedText.hpp"
#include "TavvoShared/Localization/LocalizationBundleMarker.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <map>

using Foundation::UserDefaults;

namespace {

constexpr std::string_view overrideKey = "tavvo.language.override";

// Every test starts with empty defaults in a fresh config folder, no
// language preference and the keys mode off.
class L10nTest : public ::testing::Test {
protected:
    static UserDefaults sharedDefaults()
    {
        return *UserDefaults::withSuiteName(TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(Foundation::Bundle::mainBundle()));
    }
    static UserDefaults standardDefaults() { return UserDefaults::standardUserDefaults(); }

private:
    TemporaryDirectory m_folder;
    ScopedEnvironment m_environment {
        { "XDG_CONFIG_HOME", m_folder.path().string() },
        { "LANGUAGE", std::nullopt },
        { "LC_ALL", std::nullopt },
        { "LC_MESSAGES", std::nullopt },
        { "LANG", "C.UTF-8" },
        { "TAVVO_L10N_SHOW_KEYS", std::nullopt },
    };
};

std::map<std::string, std::string> stringTable(const std::string& code)
{
    auto const folder = LocalizationBundleMarker::bundle().pathForResource(code, "lproj");
    auto const document = folder ? Foundation::jsonObjectFile(*folder / "Localizable.json", 1 << 20) : nullptr;
    EXPECT_TRUE(document) << code;
    if (!document)
        return {};
    std::map<std::string, std::string> table;
    for (auto const& member : document->GetObject()) {
        EXPECT_TRUE(member.value.IsString()) << code << " " << member.name.GetString();
        if (member.value.IsString())
            table.emplace(member.name.GetString(), member.value.GetString());
    }
    return table;
}

}

TEST(L10n, CodesAreNormalizedOntoTheSupportedOnes)
{
    std::pair<std::string_view, std::string_view> const cases[] = {
        { "en", "en" }, { "ru", "ru" }, { "zh-Hans", "zh-Hans" }, { "fr", "fr" }, { "es", "es" },
        // Any Chinese is the one Chinese there is.
        { "zh", "zh-Hans" }, { "zh-Hant-TW", "zh-Hans" }, { "zh_TW", "zh-Hans" },
        // A supported code followed by a hyphen, or as the first piece.
        { "fr-CA", "fr" }, { "es-419", "es" }, { "-ru", "ru" }, { "--es-", "es" },
        // Everything else is English: unsupported, underscores, other case.
        { "pt-BR", "en" }, { "de-DE", "en" }, { "fr_FR", "en" }, { "RU", "en" }, { "frx", "en" }, { "", "en" }, { "-", "en" },
    };
    for (auto const& [code, expected] : cases)
        EXPECT_EQ(L10n::normalizedLanguageCode(code), expected) << code;
    // The name of the language a code stands for, not of the code itself.
    EXPECT_EQ(L10n::displayName("es-MX"), "Español");
}

TEST_F(L10nTest, TheOverrideDecidesTheLanguageElseThePreference)
{
    struct Case {
        std::string stored, lang, language, base;
    };
    Case const cases[] = {
        { "zh-Hant-TW", "es_ES.UTF-8", "zh-Hans", "zh" },
        { "de", "es_ES.UTF-8", "en", "en" },
        // An empty override is none: the preference decides.
        { "", "fr_CA.UTF-8", "fr", "fr" },
        { "", "zh_TW.UTF-8", "en", "en" }, // no Traditional Chinese to match
        { "", "C.UTF-8", "en", "en" },
    };
    for (auto const& test : cases) {
        ScopedEnvironment const preference { { "LANG", test.lang } };
        sharedDefaults().setObject(test.stored, overrideKey);
        EXPECT_EQ(L10n::resolvedLanguage(), test.language) << test.stored << " " << test.lang;
        EXPECT_EQ(L10n::languageBase(), test.base) << test.stored;
        EXPECT_EQ(L10n::localizationBundle().bundlePath().filename(), test.language + ".lproj") << test.stored;
    }
    sharedDefaults().setObject("zh-Hant", overrideKey);
    EXPECT_STREQ(L10n::locale().getName(), "zh_Hans");
}

TEST_F(L10nTest, TheStandardStoreIsReadOnlyWhenTheSharedOneHasNoValue)
{
    standardDefaults().setObject("ru", overrideKey);
    EXPECT_EQ(L10n::selectedLanguageOverride(), "ru");
    EXPECT_EQ(L10n::resolvedLanguage(), "ru");

    // An empty text in the shared suite is "no override", not "look elsewhere".
    sharedDefaults().setObject("", overrideKey);
    EXPECT_EQ(L10n::selectedLanguageOverride(), std::nullopt);
    EXPECT_EQ(L10n::resolvedLanguage(), "en");

    sharedDefaults().setObject("fr-CA", overrideKey);
    EXPECT_EQ(L10n::selectedLanguageOverride(), "fr-CA") << "returned as stored";
}

TEST_F(L10nTest, SettingTheOverrideStoresTheNormalizedCodeAndTellsObservers)
{
    int posts = 0;
    auto& center = Foundation::NotificationCenter::defaultCenter();
    auto const token
        = center.addObserver(L10n::languageDidChangeNotification(), [&](const Foundation::Notification&) { ++posts; });

    L10n::setLanguageOverride("de-DE");
    EXPECT_EQ(sharedDefaults().stringForKey(overrideKey), "en");
    EXPECT_EQ(posts, 1);

    // Clearing removes a value that only the standard store holds, too.
    sharedDefaults().removeObjectForKey(overrideKey);
    standardDefaults().setObject("fr", overrideKey);
    L10n::setLanguageOverride(std::nullopt);
    EXPECT_EQ(standardDefaults().stringForKey(overrideKey), std::nullopt);
    EXPECT_EQ(L10n::selectedLanguageOverride(), std::nullopt);
    EXPECT_EQ(posts, 2);

    standardDefaults().setObject("fr", overrideKey);
    L10n::setLanguageOverride("");
    EXPECT_EQ(standardDefaults().stringForKey(overrideKey), std::nullopt) << "an empty text clears as well";
    EXPECT_EQ(posts, 3);

    center.removeObserver(token);
}

TEST_F(L10nTest, TrLooksTextsUpInTheLanguageInForce)
{
    struct Case {
        std::string language;
        std::string key;
        std::vector<L10n::Argument> arguments;
        std::string expected;
    };
    Case const cases[] = {
        { "en", "limit.percent_remaining", { 1234567 }, "1234567% left" },
        { "fr", "limit.percent_remaining", { 1234567 }, "1234567\u00a0% restants" },
        { "ru", "widget.app_group_unavailable", { std::string("group.x") }, "Общая папка для group.x недоступна." },
        // No arguments: the text as written, conversions and all.
        { "en", "limit.percent_remaining", {}, "%lld%% left" },
        { "es", "duration.week", {}, "Semana" },
        // A missing key shows as itself, with or without arguments.
        { "ru", "no.such.key", {}, "no.such.key" },
        { "ru", "no.such.key", { 1 }, "no.such.key" },
        // Arguments that fit neither the translation nor English: the key.
        { "fr", "duration.hours_minutes", { std::string("1"), 5 }, "duration.hours_minutes" },
    };
    for (auto const& test : cases) {
        sharedDefaults().setObject(test.language, overrideKey);
        EXPECT_EQ(L10n::tr(test.key, test.arguments), test.expected) << test.language << " " << test.key;
    }
}

// Every translation holds every English key, with the arguments English
// takes in the same order, and no other key: a table that drops, adds or
// swaps one would format with the English stand-in or show the bare key.
TEST(L10n, EveryTableHoldsEveryKeyWithTheSameArguments)
{
    auto const english = stringTable("en");
    ASSERT_GT(english.size(), 50u);
    for (auto const& code : L10n::supportedLocalizations()) {
        auto const table = stringTable(code);
        for (auto const& [key, text] : english)
            EXPECT_TRUE(table.contains(key)) << code << " lacks " << key;
        for (auto const& [key, translation] : table) {
            auto const original = english.find(key);
            if (original == english.end()) {
                ADD_FAILURE() << code << " has " << key << ", which English does not";
                continue;
            }
            auto const kinds = L10n::argumentKinds(translation);
            EXPECT_EQ(kinds, L10n::argumentKinds(original->second)) << code << " " << key << ": " << translation;
            // A text without conversions is never formatted, so "%%" would
            // show as two percent signs.
            if (kinds && kinds->empty()) {
                EXPECT_EQ(translation.find("%%"), std::string::npos) << code << " " << key << ": " << translation;
            }
            EXPECT_FALSE(translation.empty()) << code << " " << key;
        }
    }
}
