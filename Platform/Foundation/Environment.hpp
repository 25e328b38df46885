// The process environment and the per-user folders it names.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// The variable's value; nothing when it is unset or empty (an empty value
// counts as unset, as the XDG and POSIX conventions have it).
std::optional<std::string> environmentValue(const char* name);

// $XDG_DATA_HOME, else $HOME/.local/share; nothing when neither is an
// absolute path.
std::optional<std::filesystem::path> userDataDirectory();

// $XDG_CONFIG_HOME, else $HOME/.config; nothing when neither is an
// absolute path.
std::optional<std::filesystem::path> userConfigDirectory();

// $XDG_STATE_HOME, else $HOME/.local/state: what a program keeps between
// runs that is neither configuration nor the user's data. Nothing when
// neither is an absolute path.
std::optional<std::filesystem::path> userStateDirectory();

}
