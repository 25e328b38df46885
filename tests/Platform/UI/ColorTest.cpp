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

TEST(Color, DarkValueOnlyInTheDarkAppearance)
{
    RGBA const light { 1, 0, 0, 1 };
    RGBA const dark { 0, 0, 1, 1 };
    auto const adaptive = Color::dynamic(Color::sRGB(1, 0, 0), Color::sRGB(0, 0, 1));
    auto const fixed = Color::sRGB(1, 0, 0);
    struct Case {
        Color color;
        Appearance appearance;
        RGBA expected;
    };
    Case const cases[] = {
        { adaptive, Appearance::light, light },
        { adaptive, Appearance::dark, dark },
        // An appearance that is neither (a stray cast) draws the light value.
        { adaptive, static_cast<Appearance>(7), light },
        { adaptive, static_cast<Appearance>(-1), light },
        // Without a dark value the light one serves every appearance.
        { fixed, Appearance::dark, light },
        { fixed, Appearance::light, light },
    };
    for (auto const& c : cases)
        EXPECT_EQ(c.color.resolved(c.appearance), c.expected) << static_cast<int>(c.appearance);
}

TEST(Color, OpacityScalesAlphaInBothAppearances)
{
    auto const faded = Color::primary().opacity(0.1);
    EXPECT_DOUBLE_EQ(faded.resolved(Appearance::light).alpha, 0.085);
    EXPECT_DOUBLE_EQ(faded.resolved(Appearance::dark).alpha, 0.085);
    EXPECT_EQ(faded.resolved(Appearance::dark).red, 1);
    // Fading twice multiplies.
    EXPECT_DOUBLE_EQ(Color::sRGB(0, 0, 0).opacity(0.5).opacity(0.5).resolved(Appearance::light).alpha, 0.25);

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
