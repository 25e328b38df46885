// Where the host side keeps what it must remember between runs.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace TavvoHost {

// $XDG_STATE_HOME/tavvo/<name>, else ~/.local/state/tavvo/<name>; nothing
// when neither folder is an absolute path.
std::optional<std::filesystem::path> hostStateFile(std::string_view name);

}
