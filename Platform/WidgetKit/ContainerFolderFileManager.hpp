// ContainerFolderFileManager: the process's file manager, except that every
// application group's shared container is one given folder. Hosts use it
// to run a widget against a folder of test or script data without touching
// the user's real container.
#pragma once

#include "Platform/Foundation/FileManager.hpp"

#include <filesystem>

namespace WidgetKit {

class ContainerFolderFileManager final : public Foundation::FileManager {
public:
    explicit ContainerFolderFileManager(std::filesystem::path folder);

    std::optional<std::filesystem::path>
    containerURLForSecurityApplicationGroupIdentifier(std::string_view identifier) const override;

private:
    std::filesystem::path m_folder;
};

}
