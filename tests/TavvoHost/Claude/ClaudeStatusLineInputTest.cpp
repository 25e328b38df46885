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

// 1738425600 is 2025-02-01T16:00:00Z.
std::string limits(const std::string& windows)
{
    return R"({"model":{"id":"claude-sonnet-5","display_name":"Sonnet 5"},"rate_limits":{)" + windows + "}}";
}

TEST(ClaudeStatusLineInput, ReadsEachWindowAndDropsWhatMakesNoSense)
{
    auto const reset = at("2025-02-01T16:00:00Z");
    struct Case {
        std::string name;
        std::string text;
        std::optional<UsageWindow> fiveHour;
        std::optional<UsageWindow> sevenDay;
    };
    std::vector<Case> const cases {
        { "both windows, resets in Unix seconds",
            limits(R"("five_hour":{"used_percentage":23.5,"resets_at":1738425600},"seven_day":{"used_percentage":41.2,"resets_at":1738857600})"),
            UsageWindow { fiveHourWindow, 23.5, reset }, UsageWindow { weeklyWindow, 41.2, at("2025-02-06T16:00:00Z") } },
        { "resets as date-time texts, with and without a fraction",
            limits(R"("five_hour":{"used_percentage":1,"resets_at":"2025-02-01T17:00:00+01:00"},"seven_day":{"used_percentage":2,"resets_at":"2025-02-01T16:00:00.250Z"})"),
            UsageWindow { fiveHourWindow, 1, reset }, UsageWindow { weeklyWindow, 2, reset + std::chrono::milliseconds(250) } },
        { "shares below 0 and above 100 are kept as reported",
            limits(R"("five_hour":{"used_percentage":-5},"seven_day":{"used_percentage":250})"),
            UsageWindow { fiveHourWindow, -5, std::nullopt }, UsageWindow { weeklyWindow, 250, std::nullopt } },
        { "NaN and infinity drop their window",
            limits(R"("five_hour":{"used_percentage":NaN},"seven_day":{"used_percentage":-Infinity})"), std::nullopt, std::nullopt },
        { "a share or window of the wrong type drops that window only",
            limits(R"("five_hour":{"used_percentage":"23"},"seven_day":{"used_percentage":4,"resets_at":1738425600.9})"), std::nullopt,
            UsageWindow { weeklyWindow, 4, reset } },
        { "a window that is not an object", limits(R"("five_hour":[23.5],"seven_day":null)"), std::nullopt, std::nullopt },
        { "resets of the wrong type or out of range are dropped, the shares kept",
            limits(R"("five_hour":{"used_percentage":3,"resets_at":true},"seven_day":{"used_percentage":4,"resets_at":"tomorrow"})"),
            UsageWindow { fiveHourWindow, 3, std::nullopt }, UsageWindow { weeklyWindow, 4, std::nullopt } },
        { "a reset at 0 and one past the year 9999",
            limits(R"("five_hour":{"used_percentage":3,"resets_at":0},"seven_day":{"used_percentage":4,"resets_at":253402300800})"),
            UsageWindow { fiveHourWindow, 3, std::nullopt }, UsageWindow { weeklyWindow, 4, std::nullopt } },
        { "a huge reset does not overflow", limits(R"("five_hour":{"used_percentage":3,"resets_at":1e300})"),
            UsageWindow { fiveHourWindow, 3, std::nullopt }, std::nullopt },
        { "rate_limits absent", R"({"model":{"display_name":"Sonnet 5"},"version":"2.1.70"})", std::nullopt, std::nullopt },
        { "rate_limits of the wrong type", R"({"rate_limits":"five_hour"})", std::nullopt, std::nullopt },
    };
    for (auto const& item : cases) {
        auto const input = TavvoHost::parseClaudeStatusLineInput(item.text);
        ASSERT_TRUE(input) << item.name;
        EXPECT_EQ(input->fiveHour, item.fiveHour) << item.name;
        EXPECT_EQ(input->sevenDay, item.sevenDay) << item.name;
    }
}

TEST(ClaudeStatusLineInput, RefusesWhatIsNotOneJSONObject)
{
    std::vector<std::string> const texts {
        "",
        "not JSON",
        "[1,2]",
        R"({"rate_limits":{"five_hour":{"used_percentage":1})", // cut short
        "{\"model\":{\"display_name\":\"\xff\"}}", // not UTF-8
        std::string(100000, '['), // deep nesting must not exhaust the stack
    };
    for (auto const& text : texts)
        EXPECT_EQ(TavvoHost::parseClaudeStatusLineInput(text), std::nullopt) << text.substr(0, 40);

    // Ten megabytes of a valid object: read, and nothing in it is a window.
    auto const large = R"({"padding":")" + std::string(10 * 1024 * 1024, 'x') + R"("})";
    EXPECT_EQ(TavvoHost::parseClaudeStatusLineInput(large), ClaudeStatusLineInput {});
}

TEST(ClaudeStatusLineInput, KeepsTheModelNameOnOneLine)
{
    auto const name = [](const char* text) { return TavvoHost::parseClaudeStatusLineInput(text)->modelDisplayName; };
    EXPECT_EQ(name(R"({"model":{"display_name":"Son\nnet\u001b[31m"}})"), "Son net [31m");
    EXPECT_EQ(name(R"({"model":{"display_name":""}})"), std::nullopt);
    EXPECT_EQ(name(R"({"model":{"display_name":5}})"), std::nullopt);
}

}
