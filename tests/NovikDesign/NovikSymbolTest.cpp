#include "TavvoShared/NovikDesign/NovikPalette.hpp"
#include "TavvoShared/NovikDesign/NovikSymbol.hpp"

#include "Platform/UI/Dump.hpp"
#include "Platform/UI/Layout.hpp"
#include "Platform/UI/Renderer.hpp"

#include <gtest/gtest.h>

namespace {

int paintedPixels(const UI::Image& image)
{
    int painted = 0;
    for (auto const pixel : image.pixels)
        painted += (pixel >> 24) > 0;
    return painted;
}

}

TEST(NovikSymbol, PictogramsStayInsideTheirSquare)
{
    for (auto const* name : { "terminal", "text.bubble" }) {
        auto const tree = UI::layout(Tavvo::novikSymbol(name, 16, NovikPalette::codex()), { 100, 100 });
        EXPECT_EQ(tree.frame.size, (UI::Size { 16, 16 })) << name;
        auto const image = UI::renderImage(tree, { .scale = 4 });
        // Drawn, but a pictogram of lines, not a filled square.
        auto const painted = paintedPixels(image);
        EXPECT_GT(painted, 64 * 64 / 8) << name;
        EXPECT_LT(painted, 64 * 64 / 2) << name;
        EXPECT_EQ(UI::accessibilityDump(tree), "") << name;
    }
    auto const unknown = UI::layout(Tavvo::novikSymbol("gear", 16, NovikPalette::codex()), { 100, 100 });
    EXPECT_EQ(unknown.frame.size, (UI::Size { 16, 16 }));
    EXPECT_EQ(paintedPixels(UI::renderImage(unknown)), 0);
}
