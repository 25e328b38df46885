// StatusBarFormat: the protocols `bar` prints in, one for each kind of
// status bar or terminal line that shows a command's output.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

namespace TavvoSurfaces {

enum class StatusBarFormat { waybar, i3bar, polybar, tmux, genmon, conky, text, json };

} // namespace TavvoSurfaces

template <>
struct Foundation::RawValues<TavvoSurfaces::StatusBarFormat> {
    static constexpr std::array<std::string_view, 8> texts { "waybar", "i3bar", "polybar", "tmux", "genmon", "conky", "text", "json" };
};
