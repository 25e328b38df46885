#include "Platform/WidgetKit/ContainerFolderFileManager.hpp"

namespace WidgetKit {

ContainerFolderFileManager::ContainerFolderFileManager(std::filesystem::path folder)
    : m_folder(std::move(folder))
{
}

std::optional<std::filesystem::path>
ContainerFolderFileManager::containerURLForSecurityApplicationGroupIdentifier(std::string_view) const
{
    return m_folder;
}

}
