#include "TavvoHost/Codex/CodexAppServerRecord.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/FileMode.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace TavvoHost;

CodexAppServerAnswer answer()
{
    return { { at("2026-06-01T07:31:45Z"), "codex", std::nullopt, "pro",
                 { { fiveHourWindow, 25.125, at("2026-06-01T10:00:00Z") }, { std::nullopt, 3, std::nullopt } } },
        "user@example.com" };
}

TEST(CodexAppServerRecord, KeepsTheLastAnswerBetweenRunsInAPrivateFile)
{
    TemporaryDirectory folder;
    auto const file = folder.path() / "state" / "tavvo" / "codex-app-server.json";
    EXPECT_EQ(readCodexAppServerRecord(file), std::nullopt);

    writeCodexAppServerRecord(file, answer());
    EXPECT_EQ(readCodexAppServerRecord(file), answer());
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(modeOf(file.parent_path()), 0700u);

    CodexAppServerAnswer const bare { { at("2026-06-01T07:31:45Z"), "codex", std::nullopt, std::nullopt, {} }, std::nullopt };
    writeCodexAppServerRecord(file, bare);
    EXPECT_EQ(readCodexAppServerRecord(file), bare);
}

TEST(CodexAppServerRecord, AnythingElseIsNoRecord)
{
    for (std::string const text : { "", "{", "[]", R"({"windows": []})", R"({"observedAt": "yesterday", "windows": []})",
             R"({"observedAt": "2026-06-01T07:31:45Z", "windows": {}})" })
        EXPECT_EQ(decodeCodexAppServerAnswer(text), std::nullopt) << text;
    // A window with values of the wrong kind keeps what it can.
    auto const odd = decodeCodexAppServerAnswer(
        R"({"observedAt": "2026-06-01T07:31:45Z", "windows": [{"windowMinutes": -5, "usedPercent": "x", "resetsAt": 7}, 3]})");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->observation.windows, (std::vector<UsageWindow> { UsageWindow {} }));
    // A record kept by an earlier version holds lengths as the server sent them.
    auto const earlier = decodeCodexAppServerAnswer(R"({"observedAt": "2026-06-01T07:31:45Z", "windows": [{"windowMinutes": 299}, {"windowMinutes": 10079}]})");
    ASSERT_TRUE(earlier);
    EXPECT_EQ(earlier->observation.windows, (std::vector<UsageWindow> { { fiveHourWindow, std::nullopt, std::nullopt }, { weeklyWindow, std::nullopt, std::nullopt } }));
}

}
