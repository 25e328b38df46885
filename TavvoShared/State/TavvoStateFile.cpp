#include "TavvoShared/State/TavvoStateFile.hpp"

#include "Platform/Foundation/Environment.hpp"
#include "Platform/Foundation/FileManager.hpp"

namespace Tavvo {

std::optional<std::filesystem::path> stateFile(std::string_view name)
{
    auto const state = Foundation::userStateDirectory();
    if (!state)
        return std::nullopt;
    return *state / "tavvo" / name;
}

void writeStateFile(const std::filesystem::path& file, std::string_view bytes)
{
    auto const manager = Foundation::FileManager::defaultManager();
    manager->createDirectory(file.parent_path(), true, std::filesystem::perms::owner_all);
    manager->writeAtomically(file, bytes);
}

}
