#include "Platform/UI/Renderer.hpp"

#include "Platform/UI/Canvas.hpp"
#include "Platform/UI/Layout.hpp"
#include "TestSupport/ReferenceImage.hpp"
#include "UITestSupport.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <thread>

using namespace UI;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

View filledRectangle(Color color, double width, double height)
{
    return UI::rectangle().fill(color).frame({ .width = width, .height = height });
}

Image rendered(const View& view, Size offered, double scale = 1, Appearance appearance = Appearance::light)
{
    return renderImage(layout(view, offered), { scale, appearance });
}

}

TEST(Renderer, ImageSizeFollowsTheScale)
{
    struct Case {
        Size frame;
        double scale;
        int width;
        int height;
    };
    Case const cases[] = {
        { { 30, 10 }, 2.5, 75, 25 },
        { { 0, 0 }, 2, 1, 1 },
        { { 30, 10 }, notANumber, 30, 10 },
        { { 30, 10 }, -2, 1, 1 },
        { { 30, 10 }, 1e9, 1920, 640 },
        { { 1e6, 5 }, 2, maximumCanvasLength, 10 },
    };
    for (auto const& c : cases) {
        auto const image = rendered(box(c.frame.width, c.frame.height), { 1e6, 1e6 }, c.scale);
        EXPECT_EQ(image.width, c.width) << c.frame.width << " at " << c.scale;
        EXPECT_EQ(image.height, c.height) << c.frame.width << " at " << c.scale;
        EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));
    }
}

TEST(Renderer, OpacityAppliesToTheLayerAsAWhole)
{
    // Two overlapping opaque squares at half opacity: where they overlap
    // the result is as faint as elsewhere, not darker.
    auto const view = zstack(Alignment::topLeading,
        { filledRectangle(Color::sRGB(0, 0, 0), 20, 20), filledRectangle(Color::sRGB(0, 0, 0), 20, 20).padding(Edges::leading, 10) })
                          .opacity(0.5);
    auto const image = rendered(view, { 30, 20 });
    EXPECT_NEAR(channels(image.pixel(5, 10)).alpha, 128, 1);
    EXPECT_NEAR(channels(image.pixel(15, 10)).alpha, 128, 1);
    EXPECT_NEAR(channels(image.pixel(25, 10)).alpha, 128, 1);
    // Fading again multiplies.
    EXPECT_NEAR(channels(rendered(view.opacity(0.5), { 30, 20 }).pixel(15, 10)).alpha, 64, 1);
    EXPECT_EQ(channels(rendered(view.opacity(0), { 30, 20 }).pixel(15, 10)).alpha, 0);
}

TEST(Renderer, ShapesMatchTheirReference)
{
    double const size = 20;
    auto const mark = zstack(Alignment::center,
        {
            trimmedCircle(0, 0.8055555555555556)
                .stroke(Color::rgb(0x0A7F3E), { .lineWidth = 0.1456 * size, .lineCap = LineCap::round })
                .padding(0.0728 * size),
            trimmedCircle(0, 0.4305555555555556)
                .stroke(Color::primary(), { .lineWidth = 0.1076 * size, .lineCap = LineCap::round })
                .padding(0.3339 * size),
        })
                          .rotation(-90)
                          .frame({ .width = size, .height = size });
    auto const meter = zstack(Alignment::leading,
        {
            capsule().fill(Color::rgb(0xCED3DB)),
            capsule().fill(Color::rgb(0xB03A08)).frame({ .width = 30 }),
        })
                           .frame({ .width = 100, .height = 5 });
    auto const view = vstack(HorizontalAlignment::leading, 6,
        {
            hstack(VerticalAlignment::center, 6, { mark, circle().fill(Color::rgb(0x2C6FD6)).frame({ .width = 7, .height = 7 }) }),
            meter,
            divider().frame({ .width = 100 }),
            linearGradient({ { Color::primary().opacity(0.3), 0 }, { Color(), 1 } }, UnitPoint::top, UnitPoint::bottom)
                .frame({ .width = 100, .height = 12 })
                .opacity(0.6),
        })
                          .padding(4)
                          .background(UI::rectangle().fill(Color::windowBackground()));
    expectMatchesReference(layout(view, { 200, 200 }), { 2, Appearance::light }, TAVVO_UI_REFERENCES_DIR, "Shapes");
}

TEST(Renderer, TextsMatchTheirReference)
{
    auto const view = vstack(HorizontalAlignment::leading, 4,
        {
            text("Codex").font(TextStyle::headline),
            text("42% left · Осталось 42% · 剩余 42%").font(TextStyle::caption).foregroundColor(Color::secondary()),
            text("A long limit title that is cut").font(TextStyle::caption2).lineLimit(1).frame({ .width = 80 }, Alignment::leading),
        })
                          .padding(6)
                          .background(UI::rectangle().fill(Color::windowBackground()));
    auto const laidOut = layout(view, { 400, 200 });
    expectMatchesReference(laidOut, { 2, Appearance::dark }, TAVVO_UI_REFERENCES_DIR, "Texts");

    // Texts are drawn as layout set them on the thread that laid them out;
    // any other thread sets them again, and draws the same pixels.
    auto const here = renderImage(laidOut);
    Image elsewhere;
    std::thread([&] { elsewhere = renderImage(laidOut); }).join();
    EXPECT_TRUE(here.pixels == elsewhere.pixels);
}
