#include "Platform/UI/Color.hpp"

#include "Platform/UI/Geometry.hpp"

namespace UI {

namespace {

RGBA sanitized(RGBA value)
{
    return { sanitizedFraction(value.red), sanitizedFraction(value.green), sanitizedFraction(value.blue), sanitizedFraction(value.alpha) };
}

Color labelColor(double lightAlpha, double darkAlpha)
{
    return Color::dynamic(Color::sRGB(0, 0, 0, lightAlpha), Color::sRGB(1, 1, 1, darkAlpha));
}

}

Color Color::sRGB(double red, double green, double blue, double alpha)
{
    return Color(sanitized({ red, green, blue, alpha }), std::nullopt);
}

Color Color::rgb(std::uint32_t hexadecimal)
{
    auto const component = [hexadecimal](int shift) { return ((hexadecimal >> shift) & 0xFFu) / 255.0; };
    return sRGB(component(16), component(8), component(0));
}

Color Color::dynamic(const Color& light, const Color& dark)
{
    return Color(light.m_light, dark.m_light);
}

Color Color::primary()
{
    return labelColor(0.85, 0.85);
}

Color Color::secondary()
{
    return labelColor(0.5, 0.55);
}

Color Color::tertiary()
{
    return labelColor(0.26, 0.25);
}

Color Color::separator()
{
    return labelColor(0.1, 0.1);
}

Color Color::windowBackground()
{
    return dynamic(rgb(0xECECEC), rgb(0x323232));
}

Color Color::opacity(double opacity) const
{
    auto const factor = sanitizedFraction(opacity);
    auto faded = [factor](RGBA value) {
        value.alpha *= factor;
        return value;
    };
    return Color(faded(m_light), m_dark ? std::optional(faded(*m_dark)) : std::nullopt);
}

RGBA Color::resolved(Appearance appearance) const
{
    if (appearance == Appearance::dark && m_dark)
        return *m_dark;
    return m_light;
}

}
