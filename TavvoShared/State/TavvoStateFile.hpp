// Where Tavvo's programs keep what they must remember between runs (the
// collector's records, the notifier's sent notifications): small private
// JSON files in the user's state folder.
//
// Internal to the programs: the header names RapidJSON's types and is not
// installed.
#pragma once

#include <rapidjson/document.h>

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

// A state file's JSON object, read back at full precision (a value must
// compare equal to what was written, or every pass would see a change);
// nothing for a text that is not one valid UTF-8 JSON object.
std::optional<rapidjson::Document> parseStateObject(std::string_view text);

}
