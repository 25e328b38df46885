#include "TavvoHost/Observation/StateFile.hpp"

#include "Platform/Foundation/Environment.hpp"

namespace TavvoHost {

std::optional<std::filesystem::path> hostStateFile(std::string_view name)
{
    auto const state = Foundation::userStateDirectory();
    if (!state)
        return std::nullopt;
    return *state / "tavvo" / name;
}

}
