#include "TavvoHost/Claude/ClaudeStatusLineInput.hpp"

#include "Snapshot/TestDates.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TavvoHost::ClaudeStatusLineInput;
using TavvoHost::fiveHourWindow;
using TavvoHost::UsageWindow;
using TavvoHost::weeklyWindow;

std::string limits(const std::string& windows)
{
    return R"({"model":{"id":"claude-sonnet-5","display_name":"Sonnet 5"},"rate_limits":{)" + windows + "}}";
}

// What `limits` gives: the windows beside the model's name.
ClaudeStatusLineInput withModel(std::optional<UsageWindow> fiveHour, std::optional<UsageWindow> sevenDay)
{
    return { std::move(fiveHour), std::move(sevenDay), "Sonnet 5" };
}

TEST(ClaudeStatusLineInput, ReadsEachWindowAndDropsWhatMakesNoSense)
{
    auto const reset = at("2025-02-01T16:00:00Z"); // 1738425600
    struct Case {
        std::string name;
        std::string text;
        std::optional<ClaudeStatusLineInput> input;
    };
    std::vector<Case> const cases {
        { "both windows, resets in Unix seconds",
            limits(R"("five_hour":{"used_percentage":23.5,"resets_at":1738425600},"seven_day":{"used_percentage":41.2,"resets_at":1738857600})"),
            withModel(UsageWindow { fiveHourWindow, 23.5, reset }, UsageWindow { weeklyWindow, 41.2, at("2025-02-06T16:00:00Z") }) },
        { "resets as date-time texts, with and without a fraction",
            limits(R"("five_hour":{"used_percentage":1,"resets_at":"2025-02-01T17:00:00+01:00"},"seven_day":{"used_percentage":2,"resets_at":"2025-02-01T16:00:00.250Z"})"),
            withModel(UsageWindow { fiveHourWindow, 1, reset }, UsageWindow { weeklyWindow, 2, reset + std::chrono::milliseconds(250) }) },
        { "shares below 0 and above 100 are kept as reported",
            limits(R"("five_hour":{"used_percentage":-5},"seven_day":{"used_percentage":250})"),
            withModel(UsageWindow { fiveHourWindow, -5, std::nullopt }, UsageWindow { weeklyWindow, 250, std::nullopt }) },
        { "NaN and infinity drop their window",
            limits(R"("five_hour":{"used_percentage":NaN},"seven_day":{"used_percentage":-Infinity})"), withModel(std::nullopt, std::nullopt) },
        { "a share or window of the wrong type drops that window only",
            limits(R"("five_hour":{"used_percentage":"23"},"seven_day":{"used_percentage":4,"resets_at":1738425600.9})"),
            withModel(std::nullopt, UsageWindow { weeklyWindow, 4, reset }) },
        { "a window that is not an object", limits(R"("five_hour":[23.5],"seven_day":null)"), withModel(std::nullopt, std::nullopt) },
        { "resets of the wrong type or out of range are dropped, the shares kept",
            limits(R"("five_hour":{"used_percentage":3,"resets_at":true},"seven_day":{"used_percentage":4,"resets_at":"tomorrow"})"),
            withModel(UsageWindow { fiveHourWindow, 3, std::nullopt }, UsageWindow { weeklyWindow, 4, std::nullopt }) },
        { "a reset at 0 and one past the year 9999",
            limits(R"("five_hour":{"used_percentage":3,"resets_at":0},"seven_day":{"used_percentage":4,"resets_at":253402300800})"),
            withModel(UsageWindow { fiveHourWindow, 3, std::nullopt }, UsageWindow { weeklyWindow, 4, std::nullopt }) },
        { "a huge reset does not overflow", limits(R"("five_hour":{"used_percentage":3,"resets_at":1e300})"),
            withModel(UsageWindow { fiveHourWindow, 3, std::nullopt }, std::nullopt) },
        { "rate_limits absent", R"({"model":{"display_name":"Sonnet 5"},"version":"2.1.70"})", withModel(std::nullopt, std::nullopt) },
        { "rate_limits of the wrong type", R"({"rate_limits":"five_hour"})", ClaudeStatusLineInput {} },
        // The model's name stays on one line.
        { "control characters in the name", R"({"model":{"display_name":"Son\nnet\u001b[31m"}})", ClaudeStatusLineInput { {}, {}, "Son net [31m" } },
        { "an empty name", R"({"model":{"display_name":""}})", ClaudeStatusLineInput {} },
        { "a name of the wrong type", R"({"model":{"display_name":5}})", ClaudeStatusLineInput {} },
        { "ten megabytes of a valid object", R"({"padding":")" + std::string(10 * 1024 * 1024, 'x') + R"("})", ClaudeStatusLineInput {} },
        // Refused: not one JSON object.
        { "empty", "", std::nullopt },
        { "not JSON", "not JSON", std::nullopt },
        { "an array", "[1,2]", std::nullopt },
        { "cut short", R"({"rate_limits":{"five_hour":{"used_percentage":1})", std::nullopt },
        { "not UTF-8", "{\"model\":{\"display_name\":\"\xff\"}}", std::nullopt },
        { "deep nesting must not exhaust the stack", std::string(100000, '['), std::nullopt },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoHost::parseClaudeStatusLineInput(item.text), item.input) << item.name;
}

}
