// Color: sRGB colors with an optional dark-appearance value, the
// appearances they resolve in, and the semantic colors the views use.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

#include <cstdint>
#include <optional>

namespace UI {

enum class Appearance { light, dark };

}

template <>
struct Foundation::RawValues<UI::Appearance> {
    static constexpr std::array<std::string_view, 2> texts { "light", "dark" };
};

namespace UI {

// One sRGB value; every component is in [0, 1] and alpha is straight
// (not premultiplied).
struct RGBA {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
    friend bool operator==(const RGBA&, const RGBA&) = default;
};

// A color is a light value and, when it adapts to the appearance, a dark
// value. Which one is drawn is decided at drawing time by resolved().
class Color {
public:
    // Fully transparent black.
    constexpr Color() = default;

    // Components outside [0, 1] are clamped to it and NaN counts as 0.
    //   Color::sRGB(2, -1, NaN).resolved(Appearance::light) == RGBA { 1, 0, 0, 1 }
    static Color sRGB(double red, double green, double blue, double alpha = 1);

    // An opaque color from a 24-bit 0xRRGGBB number, each byte / 255.
    //   Color::rgb(0x0A7F3E).resolved(Appearance::light).green == 0x7F / 255.0
    static Color rgb(std::uint32_t hexadecimal);

    // A color drawn as `light`'s light value in the light appearance and as
    // `dark`'s light value in the dark one.
    static Color dynamic(const Color& light, const Color& dark);

    // The semantic label colors, by level of emphasis:
    //   primary    light: black at alpha 0.85   dark: white at alpha 0.85
    //   secondary  light: black at alpha 0.50   dark: white at alpha 0.55
    //   tertiary   light: black at alpha 0.26   dark: white at alpha 0.25
    static Color primary();
    static Color secondary();
    static Color tertiary();

    // Thin rules such as dividers: black at alpha 0.10 / white at alpha 0.10.
    static Color separator();

    // The window background: light #ECECEC, dark #323232, both opaque.
    static Color windowBackground();

    // The same color with its alpha multiplied by `opacity` (clamped to
    // [0, 1], NaN counting as 0), in both appearances.
    //   Color::primary().opacity(0.1) has alpha 0.085 in either appearance
    Color opacity(double opacity) const;

    // The dark value when `appearance` is dark and there is one; the light
    // value otherwise, for any other appearance as well (such as a value
    // cast from an unknown number).
    RGBA resolved(Appearance appearance) const;

    friend bool operator==(const Color&, const Color&) = default;

private:
    constexpr Color(RGBA light, std::optional<RGBA> dark)
        : m_light(light)
        , m_dark(dark)
    {
    }

    RGBA m_light;
    std::optional<RGBA> m_dark;
};

}
