// Nesting one pretty-printed JSON value inside another: entries carry their
// own JSON descriptions, which the host's answers embed.
#pragma once

#include <string>
#include <string_view>

namespace WidgetKit {

// `json` (one value, possibly over several lines, indented by four spaces
// a level) re-indented to sit `depth` levels deep. JSON texts hold no raw
// line feeds, so every line feed is a line break of the layout.
std::string indentedJSON(std::string_view json, int depth);

}
