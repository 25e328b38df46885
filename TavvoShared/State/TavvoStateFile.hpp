// Where Tavvo's programs keep what they must remember between runs (the
// collector's records, the notifier's sent notifications): small private
// JSON files in the user's state folder, read back with
// Foundation::parseJSONObject at full precision (a value must compare equal
// to what was written, or every pass would see a change).
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace Tavvo {

// $XDG_STATE_HOME/tavvo/<name>, else ~/.local/state/tavvo/<name>; nothing
// when neither folder is an absolute path.
std::optional<std::filesystem::path> stateFile(std::string_view name);

// Replaces a state file atomically, owner-only, its folder made private
// (0700) first. Throws std::system_error when it cannot be written.
void writeStateFile(const std::filesystem::path& file, std::string_view bytes);

}
