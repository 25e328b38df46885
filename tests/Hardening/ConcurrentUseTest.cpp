// The library used at the same time from several processes and threads:
// two processes changing the language override leave a valid defaults file
// holding one of their values and keep what else it holds; threads reading
// the store and looking up and formatting texts all get the answers a lone
// thread gets.
#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/UserDefaults.hpp"
#include "TavvoShared/Localization/FormattedText.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoShared/Localization/NumberFormatting.hpp"
#include "TavvoShared/Localization/ResetTexts.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include "Hardening/HardeningSupport.hpp"
#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using namespace Hardening;

namespace {

class ConcurrentUseTest : public ::testing::Test {
protected:
    static std::string suiteName()
    {
        return TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(Foundation::Bundle::mainBundle());
    }
    const fs::path& dataFolder() const { return m_data.path(); }

private:
    TemporaryDirectory m_config;
    TemporaryDirectory m_data;
    ScopedEnvironment m_environment {
        { "XDG_CONFIG_HOME", m_config.path().string() },
        { "LANGUAGE", std::nullopt },
        { "LC_ALL", std::nullopt },
        { "LC_MESSAGES", std::nullopt },
        { "LANG", "C.UTF-8" },
        { "TZ", "UTC" },
        { "TAVVO_L10N_SHOW_KEYS", std::nullopt },
    };
};

}

// Each of two processes sets its own language hundreds of times, and a key
// of its own each time, while this one keeps reading: every read is nothing
// yet or one of the two, and the file ends as a JSON object with one of the
// two, every key either process wrote and the key that was there before.
TEST_F(ConcurrentUseTest, TwoProcessesChangingTheLanguageLeaveAValidDefaultsFile)
{
    constexpr int changesPerProcess = 200;
    auto const defaults = *Foundation::UserDefaults::withSuiteName(suiteName());
    defaults.setObject("kept", "other.key");

    std::vector<pid_t> writers;
    for (std::string const language : { "ru", "fr-CA" }) {
        writers.push_back(forkChild([&] {
            for (int index = 0; index < changesPerProcess; ++index) {
                L10n::setLanguageOverride(language);
                defaults.setObject(language, language + std::to_string(index));
            }
        }));
        ASSERT_GT(writers.back(), 0);
    }

    std::set<std::optional<std::string>> const allowed { std::nullopt, "ru", "fr" };
    int reads = 0;
    int unexpected = 0;
    bool running = true;
    while (running) {
        auto const stored = L10n::selectedLanguageOverride();
        auto const resolved = L10n::resolvedLanguage();
        unexpected += allowed.count(stored) == 0;
        unexpected += resolved != "en" && resolved != "ru" && resolved != "fr";
        ++reads;
        running = false;
        for (pid_t const writer : writers)
            running = running || ::waitpid(writer, nullptr, WNOHANG) == 0;
    }
    EXPECT_EQ(unexpected, 0) << "of " << reads << " reads";

    // Read back through the store, which takes a file that is not a valid
    // JSON object for an empty one, so a broken file loses every key.
    auto const final = L10n::selectedLanguageOverride();
    EXPECT_TRUE(final == "ru" || final == "fr") << final.value_or("(none)");
    EXPECT_EQ(defaults.stringForKey("other.key"), "kept");
    for (std::string const language : { "ru", "fr-CA" }) {
        for (int index = 0; index < changesPerProcess; ++index)
            EXPECT_EQ(defaults.stringForKey(language + std::to_string(index)), language) << "a write was lost";
    }
}

// Eight threads at once read the snapshot through one store value and look
// up and format texts; each answer equals the one a lone thread gives
// first. (A data race here would be the sanitizer's to report; this run
// checks the answers.)
TEST_F(ConcurrentUseTest, ThreadsReadingAndFormattingAgreeWithALoneThread)
{
    L10n::setLanguageOverride("ru");
    TavvoWidgetSnapshotStore const store("group.test", dataFolder(), Foundation::FileManager::defaultManager());
    store.writeSnapshot(fullDocument());
    auto const now = at("2026-01-31T09:05:00Z");

    auto const answers = [&] {
        std::vector<std::string> result;
        result.push_back(store.readSnapshot() == fullDocument() ? "document" : "other");
        result.push_back(L10n::resolvedLanguage());
        result.push_back(L10n::tr("widget.snapshot_unavailable"));
        result.push_back(L10n::tr("widget.app_group_unavailable", { std::string("group.x") }));
        result.push_back(L10n::percentRemaining(42));
        result.push_back(L10n::limitAvailability(3, 5));
        result.push_back(L10n::localizedInteger(1234567));
        result.push_back(L10n::resetCompactText(at("2026-01-31T12:30:00Z"), now));
        result.push_back(L10n::formattedText("%2$s: %1$lld%%", { std::int64_t { 7 }, std::string("x") }).value_or("?"));
        result.push_back(L10n::normalizedLanguageCode("zh-Hant-TW"));
        return result;
    };
    auto const expected = answers();
    ASSERT_EQ(expected[0], "document");

    constexpr int threadCount = 8;
    constexpr int rounds = 40;
    std::atomic<int> disagreements = 0;
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < threadCount; ++thread) {
        threads.emplace_back([&] {
            for (int round = 0; round < rounds; ++round) {
                try {
                    disagreements += answers() != expected;
                } catch (...) {
                    ++failures;
                }
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(disagreements.load(), 0);
    EXPECT_EQ(failures.load(), 0);
}
