// PangoMarkup: texts for hosts that read Pango markup (Waybar's module, the
// Xfce panel's generic monitor): escaped, and coloured with spans.
#pragma once

#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <string>
#include <vector>

namespace TavvoSurfaces {

// `text` with "&", "<", ">", quotes and the control characters markup
// cannot hold written as entities, so that a writer's title never reads
// as a tag.
std::string markupEscaped(const std::string& text);

// The pieces escaped, each coloured one inside
// <span foreground="#75FA91">…</span>.
std::string markupText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance);

} // namespace TavvoSurfaces
