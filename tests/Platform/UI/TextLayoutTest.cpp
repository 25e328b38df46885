#include "Platform/UI/TextLayout.hpp"

#include <gtest/gtest.h>

using UI::FontWeight;
using UI::TextLayout;
using UI::TextSetting;

// Fontconfig keeps the font lists it builds for the rest of the process,
// where LeakSanitizer cannot see them. They are the same size however much
// text is set, and not ours to free; every test of this program that sets
// text would otherwise fail under the sanitizers.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           // With thread-local storage not scanned (below), what GLib keeps
           // per thread for the life of the thread reads as leaked.
           "leak:libglib-2.0.so\n";
}

// This toolchain's LeakSanitizer follows a bogus dynamic thread-local block
// of a library the drawing module loads and crashes its own tracer at exit
// (glibc 2.36, GCC 12). Not scanning thread-local storage avoids that; it
// can only make leaks more visible, never hide one of ours.
extern "C" const char* __lsan_default_options()
{
    return "use_tls=0";
}

TEST(TextLayout, PinnedFontsShowEveryLanguageTheWidgetSpeaks)
{
    const char* const strings[] = {
        "42% left",
        "Осталось 42%",
        "剩余 42%",
        "5 小时 · 重置 14:30",
        "Il reste 42 % · Réinitialisation à 14:30",
        "Quedan 42 % · Se restablece",
        "— · …",
    };
    for (auto const weight : { FontWeight::regular, FontWeight::semibold, FontWeight::bold }) {
        for (const char* string : strings) {
            TextSetting setting;
            setting.weight = weight;
            auto const layout = TextLayout::set(string, setting);
            EXPECT_EQ(layout->unknownGlyphCount(), 0) << string;
            EXPECT_GT(layout->size().width, 0) << string;
        }
    }
    // The count does see a character no font has (one for private use).
    EXPECT_GT(TextLayout::set("\xF3\xB0\x80\x80", TextSetting {})->unknownGlyphCount(), 0);
}

// Metrics are unhinted, so a text twice as large is twice as wide; this
// is what keeps a text measured in points from being cut when drawn.
TEST(TextLayout, PointSizeChangesTheWidthExactly)
{
    TextSetting plain;
    plain.pointSize = 10;
    TextSetting large = plain;
    large.pointSize = 20;
    double const cyrillic = TextLayout::set("Осталось 42%", plain)->size().width;
    EXPECT_NEAR(TextLayout::set("Осталось 42%", large)->size().width, 2 * cyrillic, 0.01);
}
