// Speaks one language in one time zone for the length of a test. The
// override lives in a private config folder, so the user's real one is
// never touched, and the keys mode is off unless a test turns it on.
#pragma once

#include "TavvoShared/Localization/L10n.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <string>

class ScopedLanguage {
public:
    explicit ScopedLanguage(const std::string& language, const std::string& timeZone = "UTC")
        : m_environment {
            { "XDG_CONFIG_HOME", m_folder.path().string() },
            { "TZ", timeZone },
            { "TAVVO_L10N_SHOW_KEYS", std::nullopt },
        }
    {
        speak(language);
    }

    static void speak(const std::string& language) { L10n::setLanguageOverride(language); }

private:
    TemporaryDirectory m_folder;
    ScopedEnvironment m_environment;
};

// Every text shows its key and arguments ("key[3|5]"), so a test checks
// which text was chosen and with what, whatever the wording.
class ScopedKeysMode {
public:
    ScopedKeysMode() = default;

private:
    ScopedEnvironment m_environment { { "TAVVO_L10N_SHOW_KEYS", "1" } };
};

// For tests that check which text was chosen and with what arguments, not
// its wording: keys mode, in English at UTC.
class KeysInEnglish : public ::testing::Test {
private:
    ScopedLanguage m_language { "en" };
    ScopedKeysMode m_keys;
};
