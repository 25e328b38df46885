// A file manager that knows no shared container, and counts how often it
// was asked for one.
#pragma once

#include "Platform/Foundation/FileManager.hpp"

class NoContainerFileManager : public Foundation::FileManager {
public:
    std::optional<std::filesystem::path> containerURLForSecurityApplicationGroupIdentifier(std::string_view) const override
    {
        ++lookups;
        return std::nullopt;
    }
    mutable int lookups = 0;
};
