// Where the host side keeps what it must remember between runs.
#pragma once

#include <rapidjson/document.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace TavvoHost {

// $XDG_STATE_HOME/tavvo/<name>, else ~/.local/state/tavvo/<name>; nothing
// when neither folder is an absolute path.
std::optional<std::filesystem::path> hostStateFile(std::string_view name);

// Replaces a state file atomically, owner-only, its folder made private
// (0700) first. Throws std::system_error when it cannot be written.
void writeHostStateFile(const std::filesystem::path& file, std::string_view bytes);

// A state file's JSON object, read back at full precision (a value must
// compare equal to what was written, or every pass would see a change);
// nothing for a text that is not one valid UTF-8 JSON object.
std::optional<rapidjson::Document> parseHostStateObject(std::string_view text);

}
