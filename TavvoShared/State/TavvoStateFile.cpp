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

std::optional<rapidjson::Document> parseStateObject(std::string_view text)
{
    constexpr unsigned flags = rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag;
    rapidjson::Document document;
    document.Parse<flags>(text.data(), text.size());
    if (document.HasParseError() || !document.IsObject())
        return std::nullopt;
    return document;
}

}
