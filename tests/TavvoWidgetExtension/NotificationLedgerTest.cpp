#include "TavvoWidgetExtension/TavvoNotifications/NotificationLedger.hpp"

#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace std::chrono_literals;
using namespace TavvoSurfaces;

Foundation::Date const reset = Foundation::Date(std::chrono::seconds(1773480420));

void writeFile(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

}

TEST(NotificationLedger, KeepsTheRecordAcrossRuns)
{
    TemporaryDirectory folder;
    auto const file = folder.path() / "tavvo" / "notifications.json";
    LimitNotificationRecord const record {
        {
            { { TavvoWidgetProviderID::codex, "codex.five_hour" }, { reset, NovikSeverity::critical } },
            { { TavvoWidgetProviderID::claude, "claude.seven_day" }, { std::nullopt, NovikSeverity::ok } },
        },
        ForecastWindowRecord { reset + 7 * 24h, ForecastNotice::told },
    };

    // No file yet: nothing remembered, and nothing wrong.
    NotificationLedger first(file);
    auto const empty = first.read();
    EXPECT_EQ(empty.record, LimitNotificationRecord());
    EXPECT_EQ(empty.problem, std::nullopt);

    first.save(record);
    NotificationLedger second(file);
    auto const reading = second.read();
    EXPECT_EQ(reading.record, record);
    EXPECT_EQ(reading.problem, std::nullopt);

    // Written only when it changed: a record the file already holds is not
    // written again (the file removed meanwhile stays away).
    std::filesystem::remove(file);
    second.save(record);
    EXPECT_FALSE(std::filesystem::exists(file));
    auto changed = record;
    changed.forecast.reset();
    second.save(changed);
    EXPECT_EQ(NotificationLedger(file).read().record, changed);
}

// A damaged or foreign file is no record, with one line saying why; the
// next save replaces it.
TEST(NotificationLedger, TakesADamagedFileForNoRecord)
{
    TemporaryDirectory folder;
    auto const file = folder.path() / "notifications.json";
    char const* const texts[] = {
        "",
        "{",
        "[]",
        "{\"limits\": 3}",
        "{}",
        "{\"limits\": [3]}",
        "{\"limits\": [{\"provider\": \"other\", \"id\": \"x\", \"highestSeverity\": \"ok\"}]}",
        "{\"limits\": [{\"provider\": \"codex\", \"id\": 1, \"highestSeverity\": \"ok\"}]}",
        "{\"limits\": [{\"provider\": \"codex\", \"id\": \"x\", \"highestSeverity\": \"dire\"}]}",
        "{\"limits\": [{\"provider\": \"codex\", \"id\": \"x\", \"highestSeverity\": \"ok\", \"resetDate\": \"today\"}]}",
        "{\"limits\": [], \"forecast\": {\"runsOutBeforeReset\": \"maybe\"}}",
        "{\"limits\": [], \"forecast\": []}",
        "{\"limits\": [], \"x\": \"\xff\"}",
    };
    for (auto const* text : texts) {
        writeFile(file, text);
        NotificationLedger ledger(file);
        auto const reading = ledger.read();
        EXPECT_EQ(reading.record, LimitNotificationRecord()) << text;
        EXPECT_TRUE(reading.problem && reading.problem->find('\n') == std::string::npos) << text;
        ledger.save({});
        EXPECT_EQ(NotificationLedger(file).read().problem, std::nullopt) << text;
    }
    // Too long to be ours: refused unread.
    writeFile(file, "{\"limits\": [], \"pad\": \"" + std::string(1024 * 1024, ' ') + "\"}");
    EXPECT_NE(NotificationLedger(file).read().problem, std::nullopt);
}
