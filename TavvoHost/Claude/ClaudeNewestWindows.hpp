// How the Claude Code sources make one observation: each of them may hold
// some windows and not others (the status-line feed never holds a model's
// own weekly limit; a cached usage may hold nothing at all), so each window
// is taken from the newest source that holds it.
#pragma once

#include "TavvoHost/Observation/ClaudeReading.hpp"

#include <optional>
#include <vector>

namespace TavvoHost {

// Every window (five-hour, weekly, each model's weekly) from the newest of
// `observations` that holds it; among observations of the same time the
// earlier in the list counts as newer. An observation without a window is
// no reading and is passed over. The result is observed when the newest
// observation with a window was. A window taken from an older observation
// whose reset had come by then is left out: the window has started again
// since, and its old share says nothing true. Nothing when no observation
// holds a window.
std::optional<ClaudeObservation> newestClaudeWindows(const std::vector<ClaudeObservation>& observations);

}
