#include "TavvoHost/Codex/CodexLogLine.hpp"

#include "TavvoHost/Codex/CodexLines.hpp"
#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace TavvoHost;
using Kind = CodexLogLine::Kind;

Foundation::Date unix(std::int64_t seconds)
{
    return Foundation::Date(std::chrono::seconds(seconds));
}

constexpr std::string_view stamp = "2026-06-01T07:31:45.190Z";
auto const lineTime = at("2026-06-01T07:31:45Z");

CodexObservation observed(std::vector<UsageWindow> windows, std::string limitId = "codex",
    std::optional<std::string> plan = std::nullopt, std::optional<std::string> name = std::nullopt)
{
    return { lineTime, std::move(limitId), std::move(name), std::move(plan), std::move(windows) };
}

struct ShapeCase {
    std::string name;
    std::string limits;
    std::optional<CodexObservation> expected;
};

TEST(CodexLogLine, ReadsEveryShapeOfTheLimits)
{
    using std::chrono::minutes;
    std::vector<ShapeCase> const cases {
        { "current", currentLimits(9.0, 1790884401, 1.0, 1791471201),
            observed({ { fiveHourWindow, 9.0, unix(1790884401) }, { weeklyWindow, 1.0, unix(1791471201) } }, "codex", "plus") },
        { "reset in seconds from the line's second",
            R"({"primary":{"used_percent":12.5,"window_minutes":300,"resets_in_seconds":3600},"secondary":null})",
            observed({ { fiveHourWindow, 12.5, lineTime + std::chrono::hours(1) } }) },
        { "flat with reset_after",
            R"({"primary_used_percent":12.0,"secondary_used_percent":3.0,"primary_to_secondary_ratio_percent":40,)"
            R"("primary_window_minutes":300,"secondary_window_minutes":10080,"primary_reset_after_seconds":60,"secondary_reset_after_seconds":120})",
            observed({ { fiveHourWindow, 12.0, lineTime + minutes(1) }, { weeklyWindow, 3.0, lineTime + minutes(2) } }) },
        { "flat without resets", R"({"primary_used_percent":12.0,"primary_window_minutes":300})",
            observed({ { fiveHourWindow, 12.0, std::nullopt } }) },
        { "another bucket with a name",
            R"({"limit_id":"codex_other","limit_name":"Other model","primary":{"used_percent":4,"window_minutes":10080,"resets_at":null}})",
            observed({ { weeklyWindow, 4.0, std::nullopt } }, "codex_other", std::nullopt, "Other model") },
        // Kept as reported: the assembly clamps the share.
        { "shares beyond 0…100", R"({"primary":{"used_percent":-5,"window_minutes":300},"secondary":{"used_percent":250,"window_minutes":10080}})",
            observed({ { fiveHourWindow, -5.0, std::nullopt }, { weeklyWindow, 250.0, std::nullopt } }) },
        { "resets at 0 and beyond 9999 are unknown",
            R"({"primary":{"used_percent":1,"window_minutes":300,"resets_at":0},"secondary":{"used_percent":2,"window_minutes":10080,"resets_at":253402300800}})",
            observed({ { fiveHourWindow, 1.0, std::nullopt }, { weeklyWindow, 2.0, std::nullopt } }) },
        { "a window that is no length", R"({"primary":{"used_percent":1,"window_minutes":0},"secondary":{"used_percent":2,"window_minutes":1.5}})",
            observed({ { std::nullopt, 1.0, std::nullopt }, { std::nullopt, 2.0, std::nullopt } }) },
        // Escapes are undone in place: each text must end where its own does.
        { "escaped texts", R"({"limit_id":"codex\"x","limit_name":"Caf\u00e9 \ud83d\ude80","plan_type":"a\\b","primary":{"used_percent":1}})",
            observed({ { std::nullopt, 1.0, std::nullopt } }, "codex\"x", "a\\b", "Café 🚀") },
        // Lengths a few minutes off, as Codex 0.46 wrote them, are the standard windows.
        { "lengths a few minutes short", R"({"primary":{"used_percent":1,"window_minutes":299},"secondary":{"used_percent":2,"window_minutes":10079}})",
            observed({ { fiveHourWindow, 1.0, std::nullopt }, { weeklyWindow, 2.0, std::nullopt } }) },
        { "lengths a few minutes long", R"({"primary_used_percent":1,"primary_window_minutes":303,"secondary_used_percent":2,"secondary_window_minutes":10081})",
            observed({ { fiveHourWindow, 1.0, std::nullopt }, { weeklyWindow, 2.0, std::nullopt } }) },
        { "lengths beyond the tolerance", R"({"primary":{"used_percent":1,"window_minutes":296},"secondary":{"used_percent":2,"window_minutes":10084}})",
            observed({ { minutes(296), 1.0, std::nullopt }, { minutes(10084), 2.0, std::nullopt } }) },
        // A record without a window is no reading.
        { "empty windows", R"({"primary":{},"secondary":{"window_minutes":null}})", std::nullopt },
        { "null windows", R"({"limit_id":"codex","plan_type":"plus","primary":null,"secondary":null})", std::nullopt },
        { "no limits", "null", std::nullopt },
    };
    for (auto const& c : cases) {
        auto const parsed = parseCodexLogLine(tokenCountLine(stamp, "null", c.limits));
        ASSERT_EQ(parsed.kind, Kind::tokenCount) << c.name;
        EXPECT_EQ(parsed.tokenCount->timestamp, lineTime + std::chrono::milliseconds(190)) << c.name;
        EXPECT_EQ(parsed.tokenCount->rateLimits, c.expected) << c.name;
    }
}

TEST(CodexLogLine, ReadsTheTokenUsage)
{
    auto const parsed = parseCodexLogLine(tokenCountLine(stamp, tokenInfo(21469, 5214), "null"));
    ASSERT_EQ(parsed.kind, Kind::tokenCount);
    EXPECT_EQ(parsed.tokenCount->totalUsage, (CodexTokenUsage { 100, 0, 0, 0, 21469 }));
    EXPECT_EQ(parsed.tokenCount->lastUsage, (CodexTokenUsage { 10, 0, 0, 0, 5214 }));
    EXPECT_EQ(parseCodexLogLine(tokenCountLine(stamp, "null", "null")).tokenCount->lastUsage, std::nullopt);
}

TEST(CodexLogLine, TellsEventsOtherLinesAndMalformedOnesApart)
{
    std::vector<std::pair<std::string, Kind>> const cases {
        { "", Kind::other },
        { R"({"timestamp":"2026-06-01T07:31:45.190Z","type":"session_meta","payload":{"id":"x"}})", Kind::other },
        { R"({"timestamp":"2026-06-01T07:31:45.190Z","type":"response_item","payload":{"text":"token_count"}})", Kind::other },
        { R"({"timestamp":"2026-06-01T07:31:45.190Z","type":"event_msg","payload":{"type":"agent_message","m":"token_count"}})", Kind::other },
        { R"({"type":"future_type","payload":{"type":"token_count"}})", Kind::other },
        // Keys in another order than Codex writes them still read.
        { R"({"payload":{"type":"token_count","info":null,"rate_limits":null},"type":"event_msg","timestamp":"2026-06-01T07:31:45.190Z"})", Kind::tokenCount },
        { R"({"timestamp":"2026-06-01T07:31:45.190Z","type":"event_msg","payload":{"rate_limits":null,"type":"token_count"}})", Kind::tokenCount },
        { "not JSON at all", Kind::malformed },
        { R"({"type":"event_msg","payload":{"type":"token_count")", Kind::malformed },
        { R"({"type":"event_msg","payload":{"type":"token_count"}}} trailing)", Kind::malformed },
        { R"({"type":5,"payload":{"type":"token_count"}})", Kind::malformed },
        { R"({"type":"event_msg","payload":"token_count"})", Kind::malformed },
        { R"({"type":"event_msg","payload":{"type":"token_count"}})", Kind::malformed }, // no timestamp
        { tokenCountLine("yesterday", "null", "null"), Kind::malformed },
        { tokenCountLine("2026-06-01T07:31:45.Z", "null", "null"), Kind::malformed },
        { tokenCountLine("1999-12-31T23:59:59.999Z", "null", "null"), Kind::malformed },
        { tokenCountLine("1970-01-01T00:00:00Z", "null", "null"), Kind::malformed },
        { tokenCountLine(stamp, "[]", "null"), Kind::malformed },
        { tokenCountLine(stamp, R"({"last_token_usage":{"total_tokens":-1}})", "null"), Kind::malformed },
        { tokenCountLine(stamp, R"({"last_token_usage":{"total_tokens":1.5}})", "null"), Kind::malformed },
        { tokenCountLine(stamp, R"({"last_token_usage":{"total_tokens":"12"}})", "null"), Kind::malformed },
        { tokenCountLine(stamp, "null", R"({"primary":{"used_percent":"9"}})"), Kind::malformed },
        { tokenCountLine(stamp, "null", R"({"primary":{"used_percent":NaN}})"), Kind::malformed },
        { tokenCountLine(stamp, "null", R"({"primary":{"used_percent":1e999}})"), Kind::malformed },
        { tokenCountLine(stamp, "null", R"({"primary":[1]})"), Kind::malformed },
        { tokenCountLine(stamp, "null", R"({"limit_id":7})"), Kind::malformed },
        { tokenCountLine(stamp, "null", "\"limits\""), Kind::malformed },
        // A kept text must be valid UTF-8; a broken one elsewhere is passed over.
        { "{\"token_count\":\"\xff\"}", Kind::other },
        { tokenCountLine(stamp, "null", "{\"limit_name\":\"Pro \xc3\"}"), Kind::malformed },
        { tokenCountLine(stamp, "null", "{\"limit_id\":\"\xed\xa0\x80\"}"), Kind::malformed }, // a lone surrogate
        { tokenCountLine(stamp, "null", "{\"plan_type\":\"\xf8\x88\x80\x80\x80\"}"), Kind::malformed },
        { tokenCountLine("2026-06-01T07:31:45.190\xff", "null", "null"), Kind::malformed },
        { tokenCountLine(stamp, "null", R"({"limit_name":"a\u0000b"})"), Kind::malformed },
        { tokenCountLine(stamp, "{\"note\":\"\xff\xfe\"}", "{\"limit_name\":\"caf\xc3\xa9 \xe2\x9c\x93\"}"), Kind::tokenCount },
        { "{\"token_count\":" + std::string(100000, '[') + std::string(100000, ']') + "}", Kind::other }, // deep, yet no crash
        { "{\"token_count\":" + std::string(100000, '[') + "}", Kind::malformed },
        // Nesting deeper than records go still reads, and a fault inside it still counts.
        { tokenCountLine(stamp, "{\"extra\":" + std::string(40, '[') + std::string(40, ']') + "}", "null"), Kind::tokenCount },
        { tokenCountLine(stamp, "{\"extra\":" + std::string(40, '[') + std::string(39, ']') + "}", "null"), Kind::malformed },
    };
    for (auto const& [line, kind] : cases)
        EXPECT_EQ(parseCodexLogLine(line).kind, kind) << line.substr(0, 120);
}

}
