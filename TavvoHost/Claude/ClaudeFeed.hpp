// ClaudeFeed: the file in which `tavvo claude-statusline` leaves the limit
// windows Claude Code last reported, for the collector to read. Ours alone:
// Claude Code never reads it.
//
// $XDG_STATE_HOME/tavvo/claude-statusline.json (by default under
// ~/.local/state), in a folder of mode 0700, the file 0600, always
// replaced whole. One JSON object: when the windows were observed, to the
// second, and each window Claude Code reported, in the input's own shape:
//
//   {"observedAt": "2026-06-01T07:31:45Z",
//    "five_hour": {"used_percentage": 23.5, "resets_at": "2026-06-01T10:00:00Z"},
//    "seven_day": {"used_percentage": 41.2, "resets_at": "2026-06-05T00:00:00Z"}}
//
// A window Claude Code did not report is absent, and so is an unknown reset.
#pragma once

#include "TavvoHost/Claude/ClaudeFileReading.hpp"
#include "TavvoHost/Observation/ClaudeReading.hpp"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace TavvoHost {

// How old the feed may grow while Claude Code reports the same values
// before it is written again, so that its observation time stays current.
inline constexpr std::chrono::seconds claudeFeedRefreshInterval { 60 };

// The feed's folder and name: "claude-statusline.json" in the state
// directory's "tavvo" folder. Nothing when neither XDG_STATE_HOME nor HOME
// is an absolute path.
std::optional<std::filesystem::path> claudeFeedFile();

// The feed's text for `observation` (its time in whole seconds).
std::string encodeClaudeFeed(const ClaudeObservation& observation);

// The observation in a feed's text; nothing when it is not a feed (not a
// JSON object, no valid observation time). A window of the wrong shape is
// left out.
std::optional<ClaudeObservation> decodeClaudeFeed(std::string_view text);

// Reads the feed at `file`. A corrupt feed is present with a problem and
// no observation.
ClaudeFileReading readClaudeFeed(const std::filesystem::path& file);

enum class ClaudeFeedWrite {
    written,
    unchanged,
};

// Records `observation` in the feed at `file`, creating its folder (0700)
// as needed, unless the feed already holds the same windows and was
// observed less than claudeFeedRefreshInterval before (and not after)
// `observation.observedAt`: Claude Code asks many times a second, and a
// write each time would wake every watcher of the folder for nothing. A
// feed that cannot be read or decoded is replaced. Throws std::system_error
// when the folder or the file cannot be written.
ClaudeFeedWrite recordClaudeFeed(const std::filesystem::path& file, const ClaudeObservation& observation);

}
