#include "Platform/Foundation/JSONObjectFile.hpp"

#include "Platform/Foundation/FileManager.hpp"
#include "Platform/Foundation/JSONMembers.hpp"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>

#include <sys/stat.h>
#include <time.h>

namespace Foundation {

namespace fs = std::filesystem;

namespace {

// A timestamp as the kernel gives it; a file may carry any seconds at all,
// so they are compared, never converted.
struct Timestamp {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    explicit Timestamp(const timespec& time)
        : seconds(time.tv_sec)
        , nanoseconds(time.tv_nsec)
    {
    }
    friend bool operator==(const Timestamp&, const Timestamp&) = default;
};

struct FileVersion {
    dev_t device;
    ino_t inode;
    off_t size;
    Timestamp modified;
    Timestamp changed;
    friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

std::optional<FileVersion> versionOf(const fs::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return FileVersion { status.st_dev, status.st_ino, status.st_size, Timestamp(status.st_mtim), Timestamp(status.st_ctim) };
}

// Whether `time` lies more than the settling time before now.
bool hasSettled(const Timestamp& time)
{
    timespec clock {};
    ::clock_gettime(CLOCK_REALTIME, &clock);
    Timestamp const now(clock);
    // `now` is a real clock reading, so subtracting a few seconds from it
    // cannot overflow; the file's own time is only compared with it.
    if (time.seconds < now.seconds - 2)
        return true;
    if (time.seconds > now.seconds)
        return false;
    auto const elapsed = std::chrono::seconds(now.seconds - time.seconds) + std::chrono::nanoseconds(now.nanoseconds - time.nanoseconds);
    return elapsed > settlingTime;
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
    FileVersion version;
    std::size_t maximumLength = 0;
    std::shared_ptr<const rapidjson::Document> object;
};

}

std::shared_ptr<const rapidjson::Document> jsonObjectFile(const fs::path& path, std::size_t maximumLength)
{
    static std::mutex mutex;
    static std::map<fs::path, Parsed> parsedFiles;

    auto const version = versionOf(path);
    if (!version) {
        std::scoped_lock const lock(mutex);
        parsedFiles.erase(path);
        return nullptr;
    }
    {
        std::scoped_lock const lock(mutex);
        if (auto const found = parsedFiles.find(path);
            found != parsedFiles.end() && found->second.version == *version && found->second.maximumLength == maximumLength)
            return found->second.object;
    }
    // Read outside the lock. Should the file be replaced between the stat
    // and the read, the next call sees a version other than the one kept
    // and reads again, so what is kept is never taken for a newer file.
    auto object = parsedObject(path, maximumLength);
    std::scoped_lock const lock(mutex);
    // The change time cannot be set back by hand, as the modification time
    // can; both must have settled.
    if (hasSettled(version->modified) && hasSettled(version->changed))
        parsedFiles.insert_or_assign(path, Parsed { *version, maximumLength, object });
    else
        parsedFiles.erase(path);
    return object;
}

}
