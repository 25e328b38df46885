#include "Platform/Foundation/JSONObjectFile.hpp"

#include "Platform/Foundation/FileIdentity.hpp"
#include "Platform/Foundation/FileManager.hpp"
#include "Platform/Foundation/JSONMembers.hpp"

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>

namespace Foundation {

namespace fs = std::filesystem;

namespace {

// The identity of the regular file at `path`; nothing for anything else.
std::optional<FileIdentity> regularFileAt(const fs::path& path)
{
    auto const status = fileStatus(path);
    if (!status || status->kind != FileKind::regularFile)
        return std::nullopt;
    return status->identity;
}

std::shared_ptr<const rapidjson::Document> parsedObject(const fs::path& path, std::size_t maximumLength)
{
    std::string contents;
    try {
        contents = FileManager::defaultManager()->contentsOfFile(path, maximumLength);
    } catch (const std::system_error&) {
        return nullptr;
    }
    auto document = parseJSONObject(contents);
    if (!document)
        return nullptr;
    return std::make_shared<const rapidjson::Document>(std::move(*document));
}

struct Parsed {
    FileIdentity identity;
    std::size_t maximumLength = 0;
    std::shared_ptr<const rapidjson::Document> object;
};

}

std::shared_ptr<const rapidjson::Document> jsonObjectFile(const fs::path& path, std::size_t maximumLength)
{
    static std::mutex mutex;
    static std::map<fs::path, Parsed> parsedFiles;

    auto const identity = regularFileAt(path);
    if (!identity) {
        std::scoped_lock const lock(mutex);
        parsedFiles.erase(path);
        return nullptr;
    }
    {
        std::scoped_lock const lock(mutex);
        if (auto const found = parsedFiles.find(path);
            found != parsedFiles.end() && found->second.identity == *identity && found->second.maximumLength == maximumLength)
            return found->second.object;
    }
    // Read outside the lock. Should the file be replaced between the stat
    // and the read, the next call sees another identity than the one kept
    // and reads again, so what is kept is never taken for a newer file.
    auto const now = std::chrono::floor<std::chrono::microseconds>(std::chrono::system_clock::now());
    auto object = parsedObject(path, maximumLength);
    std::scoped_lock const lock(mutex);
    if (identity->isSettled(now))
        parsedFiles.insert_or_assign(path, Parsed { *identity, maximumLength, object });
    else
        parsedFiles.erase(path);
    return object;
}

}
