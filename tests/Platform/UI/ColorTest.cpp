#include "Platform/UI/Color.hpp"

#include <gtest/gtest.h>

#include <limits>

using UI::Appearance;
using UI::Color;
using UI::RGBA;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

}

TEST(Color, OpacityScalesAlpha)
{
    // Fading multiplies the color's own alpha: the primary one is 85 % opaque.
    EXPECT_DOUBLE_EQ(Color::primary().opacity(0.1).resolved(Appearance::light).alpha, 0.085);

    // Opacities outside [0, 1] are clamped; NaN hides the color.
    struct Case {
        double opacity;
        double alpha;
    };
    Case const cases[] = { { 2, 1 }, { infinity, 1 }, { -1, 0 }, { -infinity, 0 }, { notANumber, 0 } };
    for (auto const& c : cases)
        EXPECT_EQ(Color::sRGB(0, 0, 0).opacity(c.opacity).resolved(Appearance::light).alpha, c.alpha) << c.opacity;
}

TEST(Color, ComponentsAreKeptInTheUnitInterval)
{
    EXPECT_EQ(Color::sRGB(2, -1, notANumber, infinity).resolved(Appearance::light), (RGBA { 1, 0, 0, 1 }));
    EXPECT_EQ(Color::sRGB(-infinity, 0.25, 0.5, notANumber).resolved(Appearance::light), (RGBA { 0, 0.25, 0.5, 0 }));
    EXPECT_EQ(Color().resolved(Appearance::dark), (RGBA { 0, 0, 0, 0 }));
}
