#include "Platform/Foundation/UserDefaults.hpp"

#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/Environment.hpp"
#include "Platform/Foundation/FileManager.hpp"
#include "Platform/Foundation/JSONMembers.hpp"
#include "Platform/Foundation/JSONObjectFile.hpp"

#include <rapidjson/document.h>
#include <rapidjson/writer.h>
#include <rapidjson/stringbuffer.h>

#include <cerrno>
#include <functional>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Foundation {

namespace fs = std::filesystem;

namespace {

// A suite holds a handful of short settings; a larger file is not one we
// wrote, and is refused rather than read into memory.
constexpr std::size_t maximumSuiteFileLength = 4 * 1024 * 1024;

std::optional<fs::path> suiteFile(std::string_view suiteName)
{
    if (!isSingleFileName(suiteName))
        return std::nullopt;
    auto const configHome = userConfigDirectory();
    if (!configHome)
        return std::nullopt;
    return *configHome / "defaults" / (std::string(suiteName) + ".json");
}

rapidjson::Value jsonText(std::string_view text, rapidjson::Document::AllocatorType& allocator)
{
    return rapidjson::Value(text.data(), static_cast<rapidjson::SizeType>(text.size()), allocator);
}

// Holds an exclusive advisory lock on `path` (created if needed) for the
// lifetime of the object. Closing the descriptor releases the lock, also
// when the process dies, so a crashed writer never blocks the others.
class ExclusiveFileLock {
public:
    explicit ExclusiveFileLock(const fs::path& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR))
    {
        if (m_fd < 0)
            throw std::system_error(errno, std::generic_category(), "cannot open file " + path.string());
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno == EINTR)
                continue;
            int const error = errno;
            ::close(m_fd);
            throw std::system_error(error, std::generic_category(), "cannot lock file " + path.string());
        }
    }
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;
    ~ExclusiveFileLock() { ::close(m_fd); }

private:
    int m_fd;
};

// Read-modify-write of the suite at `file` under its lock; `change` tells
// whether it changed anything, and an unchanged file is left alone. A
// missing or malformed file starts out as an empty object; any other read
// failure is thrown rather than overwriting data we could not see.
void updateSuite(const fs::path& file, const std::function<bool(rapidjson::Document&)>& change)
{
    auto const& fileManager = FileManager::defaultManager();
    fileManager->createDirectory(file.parent_path(), true, fs::perms::owner_all);

    fs::path lockFile = file;
    lockFile += ".lock";
    ExclusiveFileLock const lock(lockFile);

    std::optional<rapidjson::Document> document;
    try {
        document = parseJSONObject(fileManager->contentsOfFile(file, maximumSuiteFileLength));
    } catch (const std::system_error& error) {
        if (error.code() != std::errc::no_such_file_or_directory)
            throw;
    }
    if (!document) {
        document.emplace();
        document->SetObject();
    }

    if (!change(*document))
        return;

    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>, rapidjson::CrtAllocator,
        rapidjson::kWriteValidateEncodingFlag>
        writer(buffer);
    // Values read back were validated on parsing, so only a new key or value
    // can be ill-formed; writing it would make the whole file unreadable.
    if (!document->Accept(writer))
        throw std::system_error(EILSEQ, std::generic_category(), "cannot encode defaults " + file.string());
    if (buffer.GetSize() > maximumSuiteFileLength)
        throw std::system_error(EFBIG, std::generic_category(), "cannot write file " + file.string());
    fileManager->writeAtomically(file, std::string_view(buffer.GetString(), buffer.GetSize()));
}

// Removes every member named `key` (a hand-edited file may repeat one);
// whether there was any.
bool eraseMembers(rapidjson::Document& document, std::string_view key)
{
    bool erased = false;
    for (auto member = document.MemberBegin(); member != document.MemberEnd();) {
        if (std::string_view(member->name.GetString(), member->name.GetStringLength()) == key) {
            member = document.EraseMember(member);
            erased = true;
        } else {
            ++member;
        }
    }
    return erased;
}

}

UserDefaults::UserDefaults(std::optional<fs::path> file)
    : m_file(std::move(file))
{
}

std::optional<UserDefaults> UserDefaults::withSuiteName(std::string_view suiteName)
{
    auto file = suiteFile(suiteName);
    if (!file)
        return std::nullopt;
    return UserDefaults(std::move(file));
}

UserDefaults UserDefaults::standardUserDefaults()
{
    return UserDefaults(suiteFile(Bundle::mainBundle().bundleIdentifier()));
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const
{
    if (!m_file)
        return std::nullopt;
    auto const document = jsonObjectFile(*m_file, maximumSuiteFileLength);
    if (!document)
        return std::nullopt;
    auto const member = document->FindMember(rapidjson::Value(rapidjson::StringRef(key.data(), key.size())));
    if (member == document->MemberEnd() || !member->value.IsString())
        return std::nullopt;
    return std::string(member->value.GetString(), member->value.GetStringLength());
}

void UserDefaults::setObject(std::string_view value, std::string_view key) const
{
    if (!m_file)
        return;
    updateSuite(*m_file, [&](rapidjson::Document& document) {
        eraseMembers(document, key);
        auto& allocator = document.GetAllocator();
        document.AddMember(jsonText(key, allocator), jsonText(value, allocator), allocator);
        return true;
    });
}

void UserDefaults::removeObjectForKey(std::string_view key) const
{
    if (!m_file)
        return;
    updateSuite(*m_file, [&](rapidjson::Document& document) { return eraseMembers(document, key); });
}

}
