// ClaudeStatusLineText: the one line `tavvo claude-statusline` prints for
// Claude Code to show under its prompt, in the language in force:
//
//   "5h 77% left · resets 18:40 · Week 59% left · resets 5 Jun, 09:00"
//
// Claude Code runs the command on every update of its screen, so the line
// is built from string tables and fixed time patterns only; a day's
// localized pattern is built just for a reset on another day.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Claude/ClaudeStatusLineInput.hpp"

#include <string>

namespace TavvoHost {

// Each window Claude Code reported a share for, the five-hour one first: its name, the
// share left (100 − used, rounded, within 0…100) and, while it lies ahead
// of `now`, its reset, as a time for a reset later today or as a day and a
// time otherwise. Without windows, the model's name; without that too, an
// empty text.
std::string claudeStatusLineText(const ClaudeStatusLineInput& input, Foundation::Date now);

}
