// Font: the semantic text styles with the sizes and weights they stand
// for, the pinned font families, and the setting of one run of text.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

#include <compare>
#include <optional>
#include <string_view>

namespace UI {

// Semantic roles of text. Each maps to a point size and a default weight:
//
//   role         size  default weight
//   body          13   regular   (texts that were given no style)
//   headline      13   semibold
//   subheadline   11   regular
//   callout       12   regular
//   caption       10   regular
//   caption2      10   regular
enum class TextStyle { body, headline, subheadline, callout, caption, caption2 };

enum class FontWeight { regular, semibold, bold };

// The rounded design is drawn with the same families as the standard one:
// none of the pinned fonts has rounded letterforms, and the layout must not
// depend on which other fonts a machine happens to have.
enum class FontDesign { standard, rounded };

struct Font {
    TextStyle style = TextStyle::body;
    // The style's default weight when absent.
    std::optional<FontWeight> weight;
    FontDesign design = FontDesign::standard;
    friend bool operator==(const Font&, const Font&) = default;
};

// The sizes and weights of the table above. A style that is none of the
// named cases (a stray cast) is set as body.
double pointSize(TextStyle style);
FontWeight defaultWeight(TextStyle style);

// Every text is set in "DejaVu Sans", which covers Latin and Cyrillic;
// characters it lacks (Chinese) come from "WenQuanYi Micro Hei". Naming the
// families keeps the picture the same on every machine that has the two
// Debian packages (fonts-dejavu-core, fonts-wqy-microhei).
std::string_view fontFamilies();

// Everything that decides the glyphs and the lines of one run of text.
// Measuring and drawing set a text from the same setting, so both see the
// same lines.
struct TextSetting {
    TextStyle style = TextStyle::body;
    FontWeight weight = FontWeight::regular;
    FontDesign design = FontDesign::standard;
    double pointSize = 13;
    // Digits of equal width (tabular figures).
    bool monospacedDigit = false;
    // Extra space between characters, in points.
    double kerning = 0;
    // At most this many lines, the last one ending in an ellipsis when the
    // text does not fit; no limit when absent. The limit counts the lines of
    // each paragraph separately, except a limit of 1, which is one line for
    // the whole text. It needs a width to take effect.
    std::optional<int> lineLimit;
    // The width lines are broken (and truncated) at; no breaking but at line
    // feeds when absent.
    std::optional<double> width;
    friend auto operator<=>(const TextSetting&, const TextSetting&) = default;
};

}

template <>
struct Foundation::RawValues<UI::TextStyle> {
    static constexpr std::array<std::string_view, 6> texts {
        "body", "headline", "subheadline", "callout", "caption", "caption2"
    };
};

template <>
struct Foundation::RawValues<UI::FontWeight> {
    static constexpr std::array<std::string_view, 3> texts { "regular", "semibold", "bold" };
};

template <>
struct Foundation::RawValues<UI::FontDesign> {
    static constexpr std::array<std::string_view, 2> texts { "standard", "rounded" };
};
