#include "TavvoHost/Claude/ClaudeStatusLineText.hpp"

#include "Snapshot/TestDates.hpp"
#include "TestSupport/ScopedLanguage.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TavvoHost::ClaudeStatusLineInput;
using TavvoHost::UsageWindow;

auto const fiveHour = [](double used, std::optional<Foundation::Date> reset = std::nullopt) { return UsageWindow { TavvoHost::fiveHourWindow, used, reset }; };
auto const week = [](double used, std::optional<Foundation::Date> reset = std::nullopt) { return UsageWindow { TavvoHost::weeklyWindow, used, reset }; };

TEST(ClaudeStatusLineText, ShowsWhatIsLeftAndWhenItResets)
{
    ScopedLanguage english("en", "Europe/Paris");
    auto const now = at("2026-06-01T14:00:00Z"); // 16:00 in Paris
    struct Case {
        std::string name;
        ClaudeStatusLineInput input;
        std::string line;
    };
    std::vector<Case> const cases {
        { "both windows, a reset today and one on another day",
            { fiveHour(23.4, at("2026-06-01T16:40:00Z")), week(41, at("2026-06-05T07:00:00Z")), "Sonnet 5" },
            "5h 77% left · resets 18:40 · Week 59% left · resets Jun 5, 09:00" },
        { "a reset after midnight is another day", { fiveHour(50, at("2026-06-01T22:30:00Z")), std::nullopt, std::nullopt },
            "5h 50% left · resets Jun 2, 00:30" },
        { "a reset that has passed is left out", { fiveHour(50, now), week(50, at("2026-06-01T13:00:00Z")), std::nullopt },
            "5h 50% left · Week 50% left" },
        { "the weekly window alone", { std::nullopt, week(99.5), std::nullopt }, "Week 1% left" },
        { "shares beyond 0 and 100 are held within", { fiveHour(-5), week(250), std::nullopt }, "5h 100% left · Week 0% left" },
        { "nothing at all", {}, "" },
    };
    for (auto const& item : cases)
        EXPECT_EQ(TavvoHost::claudeStatusLineText(item.input, now), item.line) << item.name;
}

TEST(ClaudeStatusLineText, SpeaksTheLanguageInForce)
{
    ScopedLanguage language("en", "UTC");
    auto const now = at("2026-06-01T14:00:00Z");
    ClaudeStatusLineInput const input { fiveHour(23, at("2026-06-01T16:40:00Z")), week(41, at("2026-06-05T09:00:00Z")), std::nullopt };
    std::vector<std::pair<std::string, std::string>> const lines {
        { "ru", "5\u00a0ч: осталось 77% · сброс в 16:40 · Неделя: осталось 59% · сброс 5 июн., 09:00" },
        { "zh-Hans", "5小时剩余 77% · 16:40 重置 · 一周剩余 59% · 6月5日 09:00 重置" },
        { "es", "5\u00a0h: queda un 77 % · se reinicia a las 16:40 · Semana: queda un 59 % · se reinicia el 5 jun, 09:00" },
    };
    // The window's name keeps its number and unit together with a no-break space.
    for (auto const& [code, line] : lines) {
        ScopedLanguage::speak(code);
        EXPECT_EQ(TavvoHost::claudeStatusLineText(input, now), line) << code;
    }
}

}
