#include "TavvoShared/NovikDesign/NovikMeter.hpp"
#include "TavvoShared/NovikDesign/NovikPalette.hpp"

#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Layout.hpp"
#include "Platform/UI/UITestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

double fillWidthDrawn(const NovikMeter& meter, double width)
{
    auto const capsules = filledCapsules(UI::layout(meter.body(), { width, 40 }));
    return capsules.size() == 2 ? capsules[1].first.size.width : -1;
}

}

TEST(NovikMeter, RemainingSharesBecomeProgressAndTint)
{
    struct Case {
        std::optional<std::int64_t> remaining;
        double progress;
        UI::Color tint;
    };
    Case const cases[] = {
        { std::nullopt, 0, UI::Color::secondary() },
        { 100, 1, NovikPalette::ok() },
        { 10, 0.1, NovikPalette::critical() },
        // Clamped for the fill, judged unclamped for the tint.
        { 150, 1, NovikPalette::ok() },
        { -20, 0, NovikPalette::critical() },
        { std::numeric_limits<std::int64_t>::min(), 0, NovikPalette::critical() },
    };
    for (auto const& test : cases) {
        NovikMeter const meter(test.remaining, 5);
        EXPECT_DOUBLE_EQ(meter.progress(), test.progress) << test.remaining.value_or(-1);
        EXPECT_EQ(meter.tint(), test.tint) << test.remaining.value_or(-1);
    }
}

TEST(NovikMeter, AnyProgressShowsAtLeastACircle)
{
    auto const tint = NovikPalette::ok();
    std::pair<double, double> const cases[] = {
        { 0.01, 5 }, { 0.5, 50 }, { 1, 100 }, { 1.5, 100 }, { 0, 0 }, { -0.5, 0 },
        { std::nan(""), 0 }, { std::numeric_limits<double>::infinity(), 100 },
    };
    for (auto const& [progress, expected] : cases) {
        NovikMeter const meter(progress, tint, 5);
        EXPECT_DOUBLE_EQ(meter.fillWidth(100), expected) << progress;
        EXPECT_DOUBLE_EQ(fillWidthDrawn(meter, 100), expected) << progress;
    }
    // A bar narrower than it is tall still shows the full circle.
    EXPECT_DOUBLE_EQ(NovikMeter(1.5, tint, 8).fillWidth(4), 8);
}

TEST(NovikMeter, ChangesAnimateUnlessMotionIsReduced)
{
    auto const body = NovikMeter(1.5, NovikPalette::ok(), 5).body();
    auto const moving = UI::treeDump(UI::layout(body, { 100, 5 }));
    EXPECT_NE(moving.find(R"("curve": "easeOut")"), std::string::npos) << moving;
    EXPECT_NE(moving.find(R"("duration": 0.14)"), std::string::npos);
    EXPECT_NE(moving.find(R"("value": 1.0,)"), std::string::npos) << "the clamped progress";
    EXPECT_NE(moving.find(R"("enabled": true)"), std::string::npos);
    auto const still = UI::treeDump(UI::layout(body, { 100, 5 }, UI::ReduceMotion::on));
    EXPECT_NE(still.find(R"("enabled": false)"), std::string::npos);
    EXPECT_EQ(UI::accessibilityDump(UI::layout(body, { 100, 5 })), "") << "the text beside it tells the value";
}

TEST(NovikMeter, AsAGaugeTheSameDrawingReadsWithItsValue)
{
    NovikMeter const meter(std::optional<std::int64_t>(42), 5);
    auto const gauge = meter.body({ .label = "Codex, 5h", .value = 42, .description = "42% left" });
    EXPECT_EQ(filledCapsules(UI::layout(gauge, { 100, 5 })), filledCapsules(UI::layout(meter.body(), { 100, 5 })));
    EXPECT_EQ(UI::accessibilityDump(UI::layout(gauge, { 100, 5 })), "[gauge 42/100] Codex, 5h: 42% left\n");
}
