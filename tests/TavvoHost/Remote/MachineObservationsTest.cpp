#include "TavvoHost/Remote/MachineObservations.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace TavvoHost;

auto const now = at("2026-09-04T12:00:00Z");

MachineObservations everything()
{
    return {
        .sentAt = at("2026-09-04T12:00:00Z"),
        .codex = {
            SourceState::present,
            {
                { at("2026-09-04T11:59:00Z"), "codex", "Codex «main»", "pro",
                    { { fiveHourWindow, 12.5, at("2026-09-04T14:00:00Z") + std::chrono::microseconds(190'000) },
                        { weeklyWindow, 100, at("9999-12-31T23:59:59Z") } } },
                { at("2000-01-01T00:00:00Z"), "codex_bengalfox", std::nullopt, std::nullopt,
                    { { std::chrono::minutes(1), 0, at("2000-01-01T00:00:00Z") }, { std::nullopt, std::nullopt, std::nullopt },
                        { std::chrono::minutes(60), 0.1 + 0.2, std::nullopt } } },
            },
            std::numeric_limits<std::int64_t>::max(),
            "user@example.com",
        },
        .claude = {
            SourceState::present,
            ClaudeObservation {
                at("2026-09-04T12:05:00Z"), // the clock skew allowed
                UsageWindow { fiveHourWindow, 33.333333333333336, at("2026-09-04T15:00:00Z") },
                UsageWindow { weeklyWindow, 0, std::nullopt },
                { { "Opus", { weeklyWindow, 99.99, at("2026-09-10T00:00:00Z") } }, { "Sonnet 模型", { weeklyWindow, 1, std::nullopt } } },
            },
        },
    };
}

TEST(MachineObservations, EveryFieldComesBackExactlyFromOneLine)
{
    std::vector<MachineObservations> const documents {
        everything(),
        { at("2000-01-01T00:00:00Z"), {}, {} },
        { now, { SourceState::unreadable, {}, 0, std::nullopt }, { SourceState::unreadable, std::nullopt } },
        { now, {}, { SourceState::present, ClaudeObservation { now, std::nullopt, std::nullopt, {} } } },
    };
    for (auto const& document : documents) {
        auto const line = encodeMachineObservations(document);
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        auto const decoded = decodeMachineObservations(line, now);
        ASSERT_TRUE(std::holds_alternative<MachineObservations>(decoded)) << std::get<std::string>(decoded);
        EXPECT_EQ(std::get<MachineObservations>(decoded), document) << line;
    }
}

// A log may say more than 100 % used (or, broken, less than nothing).
// What is left shows the same at 100 or 0, and the receiver refuses
// anything outside, so the sender keeps within the range.
TEST(MachineObservations, SharesOutsideTheRangeAreSentAtItsEnds)
{
    MachineObservations document { now,
        { SourceState::present, { { now, "codex", std::nullopt, std::nullopt, { { fiveHourWindow, 104.5, std::nullopt }, { weeklyWindow, -3, std::nullopt } } } },
            std::nullopt, std::nullopt },
        {} };
    auto const decoded = std::get<MachineObservations>(decodeMachineObservations(encodeMachineObservations(document), now));
    EXPECT_EQ(decoded.codex.observations.at(0).windows.at(0).usedPercent, 100);
    EXPECT_EQ(decoded.codex.observations.at(0).windows.at(1).usedPercent, 0);
}

std::string const document
    = R"({"version":1,"sentAt":"2026-09-04T11:00:00Z",)"
      R"("codex":{"state":"present","observations":[{"observedAt":"2026-09-04T10:00:00Z","limitId":"codex","limitName":null,"planType":"plus",)"
      R"("windows":[{"minutes":300,"usedPercent":12.5,"resetsAt":"2026-09-04T14:00:00Z"}]}],"weeklyTokens":1000,"accountLabel":null},)"
      R"("claude":{"state":"present","observation":{"observedAt":"2026-09-04T10:30:00Z","fiveHour":{"minutes":300,"usedPercent":40,"resetsAt":null},)"
      R"("sevenDay":null,"modelWeekly":[{"model":"Opus","minutes":10080,"usedPercent":3,"resetsAt":null}]}}})";

// `document` with its first `from` replaced by `to`.
std::string replaced(std::string_view from, std::string_view to)
{
    auto text = document;
    auto const at = text.find(from);
    if (at == std::string::npos)
        throw std::invalid_argument("not in the document: " + std::string(from));
    return text.replace(at, from.size(), to);
}

TEST(MachineObservations, ReadsTheDocumentAsWrittenByHand)
{
    auto const decoded = decodeMachineObservations(document, now);
    ASSERT_TRUE(std::holds_alternative<MachineObservations>(decoded)) << std::get<std::string>(decoded);
    MachineObservations const expected {
        at("2026-09-04T11:00:00Z"),
        { SourceState::present, { { at("2026-09-04T10:00:00Z"), "codex", std::nullopt, "plus", { { fiveHourWindow, 12.5, at("2026-09-04T14:00:00Z") } } } },
            1000, std::nullopt },
        { SourceState::present,
            ClaudeObservation { at("2026-09-04T10:30:00Z"), UsageWindow { fiveHourWindow, 40, std::nullopt }, std::nullopt,
                { { "Opus", { weeklyWindow, 3, std::nullopt } } } } },
    };
    EXPECT_EQ(std::get<MachineObservations>(decoded), expected);
    // Up to five minutes ahead of this clock is the other clock's skew;
    // members this version does not know are passed over.
    EXPECT_TRUE(std::holds_alternative<MachineObservations>(decodeMachineObservations(replaced("11:00:00Z", "12:05:00Z"), now)));
    EXPECT_TRUE(std::holds_alternative<MachineObservations>(decodeMachineObservations(replaced(R"("version":1,)", R"("version":1,"later":[{}],)"), now)));
}

TEST(MachineObservations, RefusesADocumentWithTheReason)
{
    std::string const deep(100'000, '[');
    std::string const deepEnd(100'000, ']');
    std::string windows;
    for (int i = 0; i < 33; ++i)
        windows += std::string(i ? "," : "") + R"({"minutes":null,"usedPercent":null,"resetsAt":null})";
    struct Case {
        std::string line;
        std::string reason;
    };
    std::vector<Case> const cases {
        // Not a document at all.
        { "", "not one JSON object in UTF-8" },
        { "[]", "not one JSON object in UTF-8" },
        { replaced("12.5", "NaN"), "not one JSON object in UTF-8" },
        { replaced("12.5", "1e400"), "not one JSON object in UTF-8" },
        { replaced(R"("plus")", "\"pl\xffus\""), "not one JSON object in UTF-8" },
        { replaced(",", ",\n"), "a newline inside the document" },
        { replaced(R"("plus")", "\"" + std::string(1'000'000, 'a') + "\""), "longer than 262144 bytes" },
        // Nested far deeper than any stack would take.
        { R"({"version":1,"sentAt":"2026-09-04T11:00:00Z","codex":)" + deep + deepEnd + "}", "codex: not an object" },
        // The version.
        { replaced(R"("version":1)", R"("version":2)"), "version: 2 is not a version this program reads (it reads 1)" },
        { replaced(R"("version":1)", R"("version":"1")"), "version: not an integer" },
        { replaced(R"("version":1,)", ""), "version: missing" },
        // Instants.
        { replaced("2026-09-04T11:00:00Z", "2026-09-04T12:05:01Z"), "sentAt: 2026-09-04T12:05:01Z is in the future" },
        { replaced("2026-09-04T10:00:00Z", "1999-12-31T23:59:59Z"), "codex.observations[0].observedAt: not an instant of the years 2000 to 9999" },
        { replaced("2026-09-04T14:00:00Z", "10000-01-01T00:00:00Z"), "codex.observations[0].windows[0].resetsAt: not an instant of the years 2000 to 9999" },
        { replaced(R"("observedAt":"2026-09-04T10:30:00Z")", R"("observedAt":null)"), "claude.observation.observedAt: missing" },
        { replaced(R"("observedAt":"2026-09-04T10:00:00Z")", R"("observedAt":1788516000)"), "codex.observations[0].observedAt: not an instant of the years 2000 to 9999" },
        // Shares and lengths.
        { replaced("12.5", "100.0001"), "codex.observations[0].windows[0].usedPercent: 100.0001 is not within 0 to 100" },
        { replaced("12.5", "-1"), "codex.observations[0].windows[0].usedPercent: -1 is not within 0 to 100" },
        { replaced("12.5", R"("12.5")"), "codex.observations[0].windows[0].usedPercent: not a number" },
        { replaced(R"("minutes":300)", R"("minutes":0)"), "codex.observations[0].windows[0].minutes: not a whole number of minutes from 1 to 52594920" },
        { replaced(R"("minutes":300)", R"("minutes":299.5)"), "codex.observations[0].windows[0].minutes: not a whole number of minutes from 1 to 52594920" },
        { replaced(R"("minutes":300)", R"("minutes":52594921)"), "codex.observations[0].windows[0].minutes: not a whole number of minutes from 1 to 52594920" },
        // Tokens.
        { replaced("1000", "-1"), "codex.weeklyTokens: not a whole number from 0 to 2^63-1" },
        { replaced("1000", "9223372036854775808"), "codex.weeklyTokens: not a whole number from 0 to 2^63-1" },
        // Texts.
        { replaced(R"("plus")", "\"" + std::string(257, 'a') + "\""), "codex.observations[0].planType: longer than 256 bytes" },
        { replaced(R"("plus")", R"("pl\u0000us")"), "codex.observations[0].planType: holds a control character" },
        { replaced(R"("limitId":"codex")", R"("limitId":"")"), "codex.observations[0].limitId: not a text, or empty" },
        { replaced(R"("limitName":null)", R"("limitName":5)"), "codex.observations[0].limitName: not a text" },
        { replaced(R"("model":"Opus")", R"("model":null)"), "claude.observation.modelWeekly[0].model: not a text, or empty" },
        // Shapes and counts.
        { replaced(R"("state":"present")", R"("state":"gone")"), "codex.state: not missing, present or unreadable" },
        { replaced(R"("observation":{)", R"("observation":[],"x":{)"), "claude.observation: not an object" },
        { replaced(R"("fiveHour":{)", R"("fiveHour":3,"x":{)"), "claude.observation.fiveHour: not an object" },
        { replaced(R"("windows":[{"minutes":300,"usedPercent":12.5,"resetsAt":"2026-09-04T14:00:00Z"}])", R"("windows":[1])"),
            "codex.observations[0].windows[0]: not an object" },
        { replaced(R"("windows":[{"minutes":300,"usedPercent":12.5,"resetsAt":"2026-09-04T14:00:00Z"}])", R"("windows":[)" + windows + "]"),
            "codex.observations[0].windows: more than 32 entries" },
        { replaced(R"("observations":[{)", R"("observations":[{"observedAt":"2026-09-04T10:00:00Z","limitId":"codex","limitName":null,"planType":null,"windows":[]},{)"),
            "codex.observations[1]: a second observation of the bucket \"codex\"" },
        { replaced(R"("modelWeekly":[)", R"("modelWeekly":[{"model":"Opus","minutes":null,"usedPercent":null,"resetsAt":null},)"),
            "claude.observation.modelWeekly[1]: a second window of the model \"Opus\"" },
    };
    for (auto const& [line, reason] : cases) {
        auto const decoded = decodeMachineObservations(line, now);
        ASSERT_TRUE(std::holds_alternative<std::string>(decoded)) << line.substr(0, 300);
        EXPECT_EQ(std::get<std::string>(decoded), reason) << line.substr(0, 300);
    }
}

}
