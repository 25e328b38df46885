// ConkyText: the block Conky shows from `${execpi N tavvo-widget bar
// --format conky}`, which reads the output as its own text, variables and
// all:
//
//   Codex ${color 75FA91}64%${color} · Claude ${color EA541E}25%${color}
//   Codex Pro
//   5h: 64% left · Resets 18:40 · in 1h 5m
//   …
//   Updated 22:45
//
// The line first, then the long form: a block on the desktop is always in
// view, with no tooltip to hover, so the details stand under the line.
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <string>
#include <string_view>

namespace TavvoSurfaces {

// `text` as Conky shows it literally: "$" doubled, and "#", which would
// start a comment that swallows the rest of the line and its end, as "\#".
std::string conkyEscaped(std::string_view text);

// The line coloured for `appearance`, then the long form; without a
// document, the line and what to do about it.
std::string conkyText(const StatusBarSummary& summary, UI::Appearance appearance);

} // namespace TavvoSurfaces
