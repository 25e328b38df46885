#include "Platform/UI/SpaceSharing.hpp"

#include "Platform/UI/Geometry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using UI::ChildFlexibility;
using UI::maximumLength;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Stand-ins for the three kinds of children a stack meets: a text (as long
// as offered up to its natural length, never shorter than an ellipsis), a
// fixed frame, and a spacer (fills what it is offered, never below its
// minimum).
struct Child {
    double minimum;
    double natural;
    bool fills;

    double lengthAt(double proposal) const
    {
        return fills ? std::max(minimum, proposal) : std::clamp(proposal, minimum, natural);
    }
    ChildFlexibility flexibility() const { return { lengthAt(0), lengthAt(maximumLength) }; }
};

Child text(double natural) { return { 8, natural, false }; }
Child fixed(double length) { return { length, length, false }; }
Child spacer(double minimum) { return { minimum, maximumLength, true }; }

// The lengths the children take when `available` is shared among them.
std::vector<double> share(double available, const std::vector<Child>& children)
{
    std::vector<ChildFlexibility> flexibilities;
    for (auto const& child : children)
        flexibilities.push_back(child.flexibility());
    std::vector<double> lengths(children.size());
    UI::shareSpace(available, flexibilities, [&](std::size_t index, double proposal) {
        lengths[index] = children[index].lengthAt(proposal);
        return lengths[index];
    });
    return lengths;
}

}

TEST(SpaceSharing, BoundedChildrenFirstThenFillersShareTheRest)
{
    struct Case {
        const char* name;
        double available;
        std::vector<Child> children;
        std::vector<double> lengths;
    };
    Case const cases[] = {
        { "texts keep their length, the spacer takes the rest", 100, { text(40), spacer(4), text(30) }, { 40, 30, 30 } },
        // Too little room: the spacer keeps its minimum and the texts share
        // the remainder, the shorter one served first.
        { "texts shrink before the spacer goes below its minimum", 60, { text(40), spacer(4), text(30) }, { 28, 4, 28 } },
        { "a text that fits is not cut for a longer one", 60, { text(100), spacer(4), text(12) }, { 44, 4, 12 } },
        { "fillers split evenly around a fixed child", 100, { spacer(0), fixed(20), spacer(0) }, { 40, 20, 40 } },
        { "a filler's minimum is kept, the rest shared", 60, { spacer(50), spacer(0) }, { 55, 5 } },
        { "only bounded children: they share, leaving the rest unused", 100, { text(30), text(30) }, { 30, 30 } },
        // The minimums alone overflow: each child is offered its minimum.
        { "overflow", 20, { fixed(30), spacer(10) }, { 30, 10 } },
        { "nothing to share", 0, { text(40), spacer(0) }, { 8, 0 } },
        { "no children", 100, {}, {} },
    };
    for (auto const& c : cases)
        EXPECT_EQ(share(c.available, c.children), c.lengths) << c.name;
}

TEST(SpaceSharing, UnusableAvailableLengthsCountAsNothingOrTheMaximum)
{
    std::vector<Child> const children { text(40), spacer(4) };
    for (double available : { notANumber, -5.0, -infinity })
        EXPECT_EQ(share(available, children), (std::vector<double> { 8, 4 })) << available;
    EXPECT_EQ(share(infinity, children), (std::vector<double> { 40, maximumLength - 40 }));
}
