#include "Platform/UI/Layout.hpp"

#include "UITestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace UI;
using Kind = LaidOutNode::Kind;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

Rect rect(double x, double y, double width, double height)
{
    return { { x, y }, { width, height } };
}

std::vector<Rect> childFrames(const LaidOutNode& node)
{
    std::vector<Rect> frames;
    for (auto const& child : node.children)
        frames.push_back(child.frame);
    return frames;
}

}

TEST(Layout, StacksPlaceChildrenInOrderWithSpacingAndAlignAcross)
{
    std::vector<View> const boxes { box(10, 10), box(30, 20), box(20, 5) };
    struct Case {
        const char* name;
        View stack;
        std::vector<Rect> frames;
    };
    Case const cases[] = {
        { "vstack leading", vstack(HorizontalAlignment::leading, 4, boxes),
            { rect(0, 0, 10, 10), rect(0, 14, 30, 20), rect(0, 38, 20, 5) } },
        { "vstack trailing", vstack(HorizontalAlignment::trailing, 4, boxes),
            { rect(20, 0, 10, 10), rect(0, 14, 30, 20), rect(10, 38, 20, 5) } },
        { "hstack bottom", hstack(VerticalAlignment::bottom, 2, boxes),
            { rect(0, 10, 10, 10), rect(12, 0, 30, 20), rect(44, 15, 20, 5) } },
        // Empty views take no room and get no spacing.
        { "empty children", vstack(HorizontalAlignment::leading, 4, { View(), box(10, 10), View(), box(10, 10), View() }),
            { rect(0, 0, 10, 10), rect(0, 14, 10, 10) } },
        { "zstack bottom trailing", zstack(Alignment::bottomTrailing, boxes),
            { rect(20, 10, 10, 10), rect(0, 0, 30, 20), rect(10, 15, 20, 5) } },
    };
    for (auto const& c : cases) {
        auto const tree = layout(c.stack, { 200, 200 });
        EXPECT_EQ(childFrames(tree), c.frames) << c.name;
    }
}

TEST(Layout, FramesFixOrLimitTheirLength)
{
    struct Case {
        const char* name;
        View view;
        Size offered;
        Rect frame;
        Rect child;
    };
    Case const cases[] = {
        { "fixed, top leading", box(10, 10).frame({ .width = 50, .height = 20 }, Alignment::topLeading), { 200, 200 },
            rect(0, 0, 50, 20), rect(0, 0, 10, 10) },
        { "fixed width only", box(10, 10).frame({ .width = 50 }, Alignment::trailing), { 200, 200 }, rect(0, 0, 50, 10),
            rect(40, 0, 10, 10) },
        { "unbounded maximum takes all offered", box(10, 10).frame({ .maxWidth = infinity, .maxHeight = infinity }),
            { 120, 80 }, rect(0, 0, 120, 80), rect(55, 35, 10, 10) },
        { "bounded maximum", box(10, 10).frame({ .maxWidth = 60 }, Alignment::leading), { 120, 80 }, rect(0, 0, 60, 10),
            rect(0, 0, 10, 10) },
        // Content that cannot shrink makes the frame grow beyond the offer.
        { "never less than the content", box(150, 10).frame({ .maxWidth = infinity }), { 120, 80 }, rect(0, 0, 150, 10),
            rect(0, 0, 150, 10) },
        { "a maximum below the content", box(150, 10).frame({ .maxWidth = 100 }), { 120, 80 }, rect(0, 0, 100, 10),
            rect(-25, 0, 150, 10) },
        { "fixed wins over a maximum", box(10, 10).frame({ .width = 30, .maxWidth = infinity }), { 120, 80 },
            rect(0, 0, 30, 10), rect(10, 0, 10, 10) },
    };
    for (auto const& c : cases) {
        auto const tree = layout(c.view, c.offered);
        ASSERT_EQ(tree.kind, Kind::frame) << c.name;
        EXPECT_EQ(tree.frame, c.frame) << c.name;
        EXPECT_EQ(tree.children.at(0).frame, c.child) << c.name;
    }
}

TEST(Layout, UnusableLengthsGiveFiniteNonNegativeFrames)
{
    double const bad[] = { notANumber, infinity, -infinity, -1, 1e300, -1e300 };
    for (double length : bad) {
        std::vector<View> const views {
            vstack(HorizontalAlignment::leading, length, { text("Осталось 42%").lineLimit(1).minimumScaleFactor(length), spacer(length), divider() }),
            hstack(VerticalAlignment::firstTextBaseline, length, { box(length, length), spacer(length), text("剩余 42%").kerning(length) }),
            box(10, 10).padding(length).frame({ .width = length, .maxHeight = length }),
            zstack(Alignment::center, { circle().stroke(Color::primary(), { .lineWidth = length, .miterLimit = length }),
                                          trimmedCircle(length, length).fill(Color::primary()) })
                .frame({ .maxWidth = length, .maxHeight = length }),
            geometryReader([](Size size) { return box(size.width * 3, size.height * 3); }).rotation(length).opacity(length),
        };
        for (Size offered : { Size { length, length }, Size { 300, length }, Size { length, 100 } }) {
            for (auto const& view : views) {
                auto const tree = layout(view, offered);
                auto const nodes = findNodes(tree, [](const LaidOutNode&) { return true; });
                for (auto const* node : nodes) {
                    auto const& frame = node->frame;
                    EXPECT_TRUE(std::isfinite(frame.origin.x) && std::isfinite(frame.origin.y)) << length;
                    EXPECT_TRUE(std::isfinite(frame.size.width) && frame.size.width >= 0) << length;
                    EXPECT_TRUE(std::isfinite(frame.size.height) && frame.size.height >= 0) << length;
                    EXPECT_LE(frame.size.width, 10 * maximumLength) << length;
                    EXPECT_TRUE(std::isfinite(node->rotation) && node->opacity >= 0 && node->opacity <= 1) << length;
                }
            }
        }
    }
}

// A stack remembers its arrangement for the pass: the same view under
// another environment, or a view built during the pass, is arranged anew.
TEST(Layout, RememberedArrangementsNeverStandInForAnotherView)
{
    // One stack in two environments, each asked the very same proposal
    // (fixed-height frames), so only the environment tells the questions apart.
    auto const row = hstack(VerticalAlignment::center, 0, { text("Weekly limit") });
    auto const styled = [&](TextStyle style) { return row.font(style).frame({ .height = 30 }); };
    auto const tree = layout(vstack(HorizontalAlignment::leading, 0, { styled(TextStyle::caption2), styled(TextStyle::headline) }), { 300, 100 });
    auto const frames = childFrames(tree);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_LT(frames[0].size.width, frames[1].size.width);

    // Two readers whose contents are built, measured and dropped in turn.
    auto const reader = [](double width) {
        return geometryReader([width](Size) { return hstack(VerticalAlignment::center, 0, { box(width, 10) }); }).frame({ .height = 10 });
    };
    auto const readers = layout(vstack(HorizontalAlignment::leading, 0, { reader(30), reader(70) }), { 300, 100 });
    auto const boxes = findNodes(readers, [](const LaidOutNode& node) { return node.kind == LaidOutNode::Kind::shape; });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]->frame.size.width, 30);
    EXPECT_EQ(boxes[1]->frame.size.width, 70);
}
