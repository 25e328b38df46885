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
        { "vstack center", vstack(HorizontalAlignment::center, 4, boxes),
            { rect(10, 0, 10, 10), rect(0, 14, 30, 20), rect(5, 38, 20, 5) } },
        { "vstack trailing", vstack(HorizontalAlignment::trailing, 4, boxes),
            { rect(20, 0, 10, 10), rect(0, 14, 30, 20), rect(10, 38, 20, 5) } },
        { "hstack top", hstack(VerticalAlignment::top, 2, boxes),
            { rect(0, 0, 10, 10), rect(12, 0, 30, 20), rect(44, 0, 20, 5) } },
        { "hstack center", hstack(VerticalAlignment::center, 2, boxes),
            { rect(0, 5, 10, 10), rect(12, 0, 30, 20), rect(44, 7.5, 20, 5) } },
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

TEST(Layout, SpacersShareTheFreeLengthAndKeepTheirMinimum)
{
    struct Case {
        const char* name;
        View stack;
        double offered;
        std::vector<Rect> frames;
    };
    Case const cases[] = {
        { "pushes to the ends", hstack(VerticalAlignment::top, 0, { box(20, 10), spacer(0), box(30, 10) }), 200,
            { rect(0, 0, 20, 10), rect(20, 0, 150, 0), rect(170, 0, 30, 10) } },
        // Spacing goes around spacers too.
        { "spacing around a spacer", hstack(VerticalAlignment::top, 5, { box(20, 10), spacer(0), box(30, 10) }), 200,
            { rect(0, 0, 20, 10), rect(25, 0, 140, 0), rect(170, 0, 30, 10) } },
        { "two spacers split evenly", hstack(VerticalAlignment::top, 0, { spacer(0), box(20, 10), spacer(0) }), 100,
            { rect(0, 0, 40, 0), rect(40, 0, 20, 10), rect(60, 0, 40, 0) } },
        { "minimum kept when the rest overflows", hstack(VerticalAlignment::top, 0, { box(150, 10), spacer(10), box(50, 10) }),
            100, { rect(0, 0, 150, 10), rect(150, 0, 10, 0), rect(160, 0, 50, 10) } },
        { "vertical", vstack(HorizontalAlignment::leading, 0, { box(10, 10), spacer(4) }), 100,
            { rect(0, 0, 10, 10), rect(0, 10, 0, 90) } },
    };
    for (auto const& c : cases) {
        auto const tree = layout(c.stack, { c.offered, c.offered });
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
        { "fixed, centered", box(10, 10).frame({ .width = 50, .height = 20 }), { 200, 200 }, rect(0, 0, 50, 20),
            rect(20, 5, 10, 10) },
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

TEST(Layout, PaddingInsetsTheGivenEdges)
{
    struct Case {
        const char* name;
        View view;
        Rect frame;
        Rect child;
    };
    Case const cases[] = {
        { "all", box(10, 10).padding(5), rect(0, 0, 20, 20), rect(5, 5, 10, 10) },
        { "horizontal", box(10, 10).padding(Edges::horizontal, 6), rect(0, 0, 22, 10), rect(6, 0, 10, 10) },
        { "top and trailing", box(10, 10).padding(Edges::top | Edges::trailing, 3), rect(0, 0, 13, 13),
            rect(0, 3, 10, 10) },
        { "negative counts as none", box(10, 10).padding(-8), rect(0, 0, 10, 10), rect(0, 0, 10, 10) },
    };
    for (auto const& c : cases) {
        auto const tree = layout(c.view, { 200, 200 });
        EXPECT_EQ(tree.frame, c.frame) << c.name;
        EXPECT_EQ(tree.children.at(0).frame, c.child) << c.name;
    }

    // A padded flexible view is offered the offer less the insets.
    auto const tree = layout(spacer(0).padding(16), { 100, 60 });
    EXPECT_EQ(tree.children.at(0).frame, rect(16, 16, 68, 28));
}

TEST(Layout, GeometryReaderBuildsItsContentFromTheOfferedSize)
{
    Size seen;
    auto const reader = geometryReader([&seen](Size size) {
        seen = size;
        return box(size.width / 2, 4);
    });
    auto const tree = layout(vstack(HorizontalAlignment::leading, 0, { reader.frame({ .height = 8 }) }), { 120, 300 });
    EXPECT_EQ(seen, (Size { 120, 8 }));
    auto const readers = nodesOfKind(tree, Kind::geometryReader);
    ASSERT_EQ(readers.size(), 1u);
    EXPECT_EQ(readers[0]->frame, rect(0, 0, 120, 8));
    EXPECT_EQ(readers[0]->children.at(0).frame, rect(0, 0, 60, 4));

    // No function: it still takes the room, and holds nothing.
    auto const empty = layout(geometryReader({}), { 50, 20 });
    EXPECT_EQ(empty.frame, rect(0, 0, 50, 20));
    EXPECT_TRUE(empty.children.empty());
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
    auto const row = hstack(VerticalAlignment::center, 0, { text("Weekly limit") });
    auto const tree = layout(vstack(HorizontalAlignment::leading, 0, { row.font(TextStyle::caption2), row.font(TextStyle::headline) }), { 300, 100 });
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
