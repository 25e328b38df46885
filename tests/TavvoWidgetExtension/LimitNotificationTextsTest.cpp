#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationTexts.hpp"

#include "TavvoWidgetExtension/WidgetTestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace TavvoSurfaces;
using WidgetTest::limit;
using WidgetTest::now;

LimitEvent limitEvent(LimitEvent::Kind kind, TavvoWidgetLimitSnapshot limit, NovikSeverity severity)
{
    return { kind, TavvoWidgetProviderID::claude, std::move(limit), severity };
}

ForecastEvent forecastEvent(std::optional<Foundation::Date> exhaustion, std::optional<std::int64_t> remaining)
{
    return { { std::nullopt, std::nullopt, std::nullopt, TavvoWidgetForecastState::exhaustsBeforeReset, exhaustion, now + 50h, remaining, now,
        0, std::nullopt } };
}

}

// Every part a notification can have, and each left out when unknown; at
// 09:26:53 UTC on 14 March.
TEST(LimitNotificationTexts, NameTheLimitWhatIsLeftAndWhenItResets)
{
    ScopedLanguage const english("en");
    using Kind = LimitEvent::Kind;
    struct Case {
        LimitNotificationEvent event;
        LimitNotificationTexts texts;
    };
    Case const cases[] = {
        { limitEvent(Kind::worsened, limit("five", 25, now + 2h + 30s, "5h"), NovikSeverity::tight),
            { "Claude 5h is running low", "25% left\nResets today at 11:27 (in 2h)" } },
        { limitEvent(Kind::worsened, limit("week", 4, now + 26h, "Weekly"), NovikSeverity::critical),
            { "Claude Weekly is almost used up", "4% left\nResets Mar 15, 11:26 (in 1d 2h)" } },
        { limitEvent(Kind::reset, TavvoWidgetLimitSnapshot { "five", "", std::nullopt, std::nullopt }, NovikSeverity::unknown), { "Claude has reset", "" } },
        { forecastEvent(now + 3h + 10min, 20),
            { "Codex will run out before reset", "20% left\nPredicted to run out: 12:36 (in 3h 10m)\nResets Mar 16, 11:26 (in 2d 2h)" } },
        { forecastEvent(now - 1min, std::nullopt),
            { "Codex will run out before reset", "Predicted to run out any moment now\nResets Mar 16, 11:26 (in 2d 2h)" } },
    };
    for (auto const& test : cases) {
        auto const texts = limitNotificationTexts(test.event, now);
        EXPECT_EQ(texts.summary, test.texts.summary);
        EXPECT_EQ(texts.body, test.texts.body) << test.texts.summary;
    }
}
