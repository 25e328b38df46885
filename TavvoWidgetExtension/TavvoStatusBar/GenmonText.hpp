// GenmonText: what the Xfce panel's generic monitor reads from a command it
// runs every period, one tag a line:
//
//   <txt>Codex <span foreground="#75FA91">64%</span> · Claude …</txt>
//   <tool>the long form</tool>
//   <bar>42</bar>
//   <txtclick>'/usr/bin/tavvo-widget' show</txtclick>
//
// The monitor sets <txt> and <tool> as Pango markup, so both are escaped.
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <filesystem>
#include <string>

namespace TavvoSurfaces {

// <txt> the line, coloured for `appearance`; <tool> the long form; <bar>
// the least remaining share, when one is shown; <txtclick> `program show`,
// which opens the window. The monitor splits the click's command line into
// words as a shell would, so the program's path is quoted.
std::string genmonText(const StatusBarSummary& summary, UI::Appearance appearance, const std::filesystem::path& program);

} // namespace TavvoSurfaces
