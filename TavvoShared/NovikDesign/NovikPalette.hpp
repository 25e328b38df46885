// NovikPalette: every color of the design kit, each with its light and
// dark value. Each is created once, on first use, and the same value is
// handed out afterwards; `ok` and `magnitude` are the very `brand` color.
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"

namespace NovikPalette {

// Brand green, light #0A7F3E, dark #75FA91.
const UI::Color& brand();
// Severity ok: the brand color itself.
const UI::Color& ok();
// The host program's color for magnitudes: the brand color itself.
const UI::Color& magnitude();
// Severity watch, #8A5C00 / #F4FC40.
const UI::Color& watch();
// Severity tight, #B03A08 / #EA541E.
const UI::Color& tight();
// Severity critical, #C0201C / #FA3C2D.
const UI::Color& critical();
// A meter's unfilled track, #CED3DB / #33373E.
const UI::Color& track();
// Provider colors: codex #2C6FD6 / #6BA6FF, claude #C1571F / #E08A5A.
const UI::Color& codex();
const UI::Color& claude();
// The host program's hairlines and card fills: the primary label color
// at opacity 0.08 and 0.035, adapting with it.
const UI::Color& hairline();
const UI::Color& cardFill();

// The color of a severity: the toolkit's secondary color for unknown,
// else the palette color of the same name.
const UI::Color& color(NovikSeverity severity);

}
