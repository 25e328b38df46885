// NovikSymbol: the pictograms a provider's appearance names, drawn from
// the toolkit's shapes so they look the same on every desktop: a terminal
// window with a prompt ("terminal") and a speech bubble with lines of text
// ("text.bubble").
#pragma once

#include "Platform/UI/View.hpp"

#include <string_view>

namespace Tavvo {

// The pictogram `name` in a `size` × `size` square, drawn in `color` and
// hidden from accessibility (the provider's title beside it is read). An
// unknown name draws nothing but still takes the square.
UI::View novikSymbol(std::string_view name, double size, const UI::Color& color);

}
