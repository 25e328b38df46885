#include "TavvoHost/Claude/ClaudeFileReading.hpp"

#include "Platform/Foundation/FileManager.hpp"

#include <system_error>

namespace TavvoHost {

std::variant<std::string, ClaudeFileReading> claudeFileContents(const std::filesystem::path& file, std::size_t maximumLength)
{
    try {
        return Foundation::FileManager::defaultManager()->contentsOfFile(file, maximumLength);
    } catch (const std::system_error& error) {
        if (error.code() == std::errc::no_such_file_or_directory || error.code() == std::errc::not_a_directory)
            return ClaudeFileReading {};
        return ClaudeFileReading { SourceState::unreadable, std::nullopt, std::string(error.what()) };
    }
}

}
