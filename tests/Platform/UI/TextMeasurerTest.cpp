#include "Platform/UI/TextMeasurer.hpp"

#include "Platform/UI/TextLayout.hpp"

#include <gtest/gtest.h>

#include <limits>

using UI::TextMeasurement;
using UI::TextMeasurer;
using UI::TextSetting;
using UI::TextStyle;

namespace {

TextSetting caption(std::optional<int> lineLimit, std::optional<double> width)
{
    TextSetting setting;
    setting.style = TextStyle::caption;
    setting.pointSize = 10;
    setting.lineLimit = lineLimit;
    setting.width = width;
    return setting;
}

constexpr const char* sentence = "Weekly limit resets on Monday at 09:00";

}

// A text measured with no width under a limit of one line stands in for
// any width it fits, but only if it really is one line.
TEST(TextMeasurer, ALineFeedMakesNoSecondLineUnderALimitOfOne)
{
    TextMeasurer measurer;
    auto const oneLine = measurer.measure(sentence, caption(1, std::nullopt), 1);
    EXPECT_EQ(measurer.measure("Reset\n14:30", caption(1, 200), 1).size.height, oneLine.size.height);
}

TEST(TextMeasurer, LinesWrapUpToTheirLimit)
{
    TextMeasurer measurer;
    double const lineHeight = measurer.measure(sentence, caption(1, std::nullopt), 1).size.height;
    double const width = measurer.measure(sentence, caption(1, std::nullopt), 1).size.width / 4;
    struct Case {
        std::optional<int> lineLimit;
        bool truncated;
        double minimumLines;
        double maximumLines;
    };
    Case const cases[] = {
        { std::nullopt, false, 4, 8 },
        { 2, true, 2, 2 },
        { 50, false, 4, 8 },
    };
    for (auto const& c : cases) {
        auto const measurement = measurer.measure(sentence, caption(c.lineLimit, width), 1);
        EXPECT_EQ(measurement.truncated, c.truncated) << c.lineLimit.value_or(0);
        EXPECT_GE(measurement.size.height, c.minimumLines * lineHeight - 0.01) << c.lineLimit.value_or(0);
        EXPECT_LE(measurement.size.height, c.maximumLines * lineHeight + 0.01) << c.lineLimit.value_or(0);
        EXPECT_LE(measurement.size.width, width) << c.lineLimit.value_or(0);
    }
}

TEST(TextMeasurer, ShrinksToTheMinimumScaleBeforeTruncating)
{
    TextMeasurer measurer;
    double const natural = measurer.measure("42% remaining", caption(1, std::nullopt), 1).size.width;
    struct Case {
        const char* name;
        double width;
        double minimumScaleFactor;
        bool truncated;
        double smallestSize;
        double largestSize;
    };
    Case const cases[] = {
        { "fits as it is", natural, 0.8, false, 10, 10 },
        { "shrinks a little, no further than needed", natural * 0.9, 0.8, false, 8.8, 9.0 },
        { "shrinks to the limit, then truncates", natural * 0.5, 0.8, true, 8, 8 },
        { "not allowed to shrink", natural * 0.9, 1, true, 10, 10 },
        { "a factor above 1 counts as 1", natural * 0.9, 3, true, 10, 10 },
        { "NaN counts as 1", natural * 0.9, std::numeric_limits<double>::quiet_NaN(), true, 10, 10 },
    };
    for (auto const& c : cases) {
        auto const measurement = measurer.measure("42% remaining", caption(1, c.width), c.minimumScaleFactor);
        EXPECT_EQ(measurement.truncated, c.truncated) << c.name;
        EXPECT_GE(measurement.pointSize, c.smallestSize - 1e-9) << c.name;
        EXPECT_LE(measurement.pointSize, c.largestSize + 1e-9) << c.name;
        EXPECT_LE(measurement.size.width, c.width) << c.name;
    }
}

// A text that fits a width unbroken is set once for all such widths; what
// is measured must still be what Pango sets at each of them.
TEST(TextMeasurer, WidthsTheTextFitsUnbrokenMeasureAsSetAtThem)
{
    TextMeasurer measurer;
    auto const natural = measurer.measure(sentence, caption(2, std::nullopt), 1);
    for (double const width : { natural.size.width, natural.size.width + 0.5, 1000.0 }) {
        SCOPED_TRACE(width);
        auto const measured = measurer.measure(sentence, caption(2, width), 1);
        auto const set = UI::TextLayout::set(sentence, caption(2, width));
        EXPECT_EQ(measured.size, set->size());
        EXPECT_EQ(measured.truncated, set->isTruncated());
        EXPECT_EQ(measured.firstBaseline, set->firstBaseline());
    }
}
