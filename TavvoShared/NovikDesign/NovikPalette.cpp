#include "TavvoShared/NovikDesign/NovikPalette.hpp"

namespace NovikPalette {

namespace {

UI::Color adaptive(std::uint32_t light, std::uint32_t dark)
{
    return UI::Color::dynamic(UI::Color::rgb(light), UI::Color::rgb(dark));
}

}

// Function-local statics: made once, on first use, and safe when the first
// uses race on several threads.

const UI::Color& brand()
{
    static UI::Color const color = adaptive(0x0A7F3E, 0x75FA91);
    return color;
}

const UI::Color& ok()
{
    return brand();
}

const UI::Color& magnitude()
{
    return brand();
}

const UI::Color& watch()
{
    static UI::Color const color = adaptive(0x8A5C00, 0xF4FC40);
    return color;
}

const UI::Color& tight()
{
    static UI::Color const color = adaptive(0xB03A08, 0xEA541E);
    return color;
}

const UI::Color& critical()
{
    static UI::Color const color = adaptive(0xC0201C, 0xFA3C2D);
    return color;
}

const UI::Color& track()
{
    static UI::Color const color = adaptive(0xCED3DB, 0x33373E);
    return color;
}

const UI::Color& codex()
{
    static UI::Color const color = adaptive(0x2C6FD6, 0x6BA6FF);
    return color;
}

const UI::Color& claude()
{
    static UI::Color const color = adaptive(0xC1571F, 0xE08A5A);
    return color;
}

const UI::Color& hairline()
{
    static UI::Color const color = UI::Color::primary().opacity(0.08);
    return color;
}

const UI::Color& cardFill()
{
    static UI::Color const color = UI::Color::primary().opacity(0.035);
    return color;
}

const UI::Color& color(NovikSeverity severity)
{
    switch (severity) {
    case NovikSeverity::ok:
        return ok();
    case NovikSeverity::watch:
        return watch();
    case NovikSeverity::tight:
        return tight();
    case NovikSeverity::critical:
        return critical();
    case NovikSeverity::unknown:
        break;
    }
    static UI::Color const secondary = UI::Color::secondary();
    return secondary;
}

}
