// I3barBlocks: the i3bar protocol's blocks, as swaybar and i3bar read them
// from a status command.
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <string>
#include <string_view>

namespace TavvoSurfaces {

// The protocol's header line: version 1, no click events asked for.
inline constexpr std::string_view i3barHeader = R"({"version":1})";

// One block array on one line: a block per displayed provider
// ({"name":"tavvo","instance":"codex","full_text":"Codex 64%",
// "short_text":"64%","color":"#75FA91","urgent":false}), "urgent" for a
// critical share; without a document, one block with the empty line.
// Colours are `appearance`'s.
std::string i3barBlocks(const StatusBarSummary& summary, UI::Appearance appearance);

} // namespace TavvoSurfaces
