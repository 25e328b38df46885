#include "Platform/Foundation/Environment.hpp"

#include <cstdlib>

namespace Foundation {

namespace {

std::optional<std::filesystem::path> absoluteDirectory(const char* variable)
{
    auto const value = environmentValue(variable);
    if (!value)
        return std::nullopt;
    std::filesystem::path path(*value);
    if (!path.is_absolute())
        return std::nullopt;
    return path;
}

std::optional<std::filesystem::path> xdgDirectory(const char* variable, const char* homeRelative)
{
    if (auto const direct = absoluteDirectory(variable))
        return direct;
    if (auto const home = absoluteDirectory("HOME"))
        return *home / homeRelative;
    return std::nullopt;
}

}

std::optional<std::string> environmentValue(const char* name)
{
    char const* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

std::optional<std::filesystem::path> userDataDirectory()
{
    return xdgDirectory("XDG_DATA_HOME", ".local/share");
}

std::optional<std::filesystem::path> userConfigDirectory()
{
    return xdgDirectory("XDG_CONFIG_HOME", ".config");
}

std::optional<std::filesystem::path> userStateDirectory()
{
    return xdgDirectory("XDG_STATE_HOME", ".local/state");
}

}
