#include "Platform/Foundation/FileManager.hpp"

#include "Platform/Foundation/Environment.hpp"
#include "Platform/Foundation/RegularFile.hpp"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <span>
#include <string_view>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Foundation {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void throwErrno(int error, std::string_view what, const fs::path& path)
{
    std::string message(what);
    message += ' ';
    message += path.string();
    throw std::system_error(error, std::generic_category(), message);
}

mode_t modeBits(fs::perms permissions)
{
    return static_cast<mode_t>(permissions & fs::perms::mask);
}

// Closes the descriptor when the scope ends, unless it was closed already.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release()
    {
        int const fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

void writeAll(int fd, std::string_view bytes, const fs::path& path)
{
    while (!bytes.empty()) {
        ssize_t const written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno, "cannot write file", path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Temporary files are named "." + the target's name + "." + six random
// letters or digits + ".tmp", so that leftovers can be told apart from
// anything else in the folder. The six letters are the ones mkostemps
// fills in, from this alphabet. Earlier versions wrote twelve, and what
// their crashed writers left behind is still ours to clean up.
constexpr std::string_view temporaryAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::string_view temporaryRandomPart = "XXXXXX";
constexpr std::size_t earlierTemporaryRandomLength = 12;
constexpr std::string_view temporarySuffix = ".tmp";

bool isTemporaryNameOf(std::string_view candidate, std::string_view targetName)
{
    auto const prefixLength = 1 + targetName.size() + 1;
    if (candidate.size() < prefixLength + temporarySuffix.size() || candidate[0] != '.'
        || candidate.substr(1, targetName.size()) != targetName || candidate[1 + targetName.size()] != '.'
        || !candidate.ends_with(temporarySuffix))
        return false;
    auto const random = candidate.substr(prefixLength, candidate.size() - prefixLength - temporarySuffix.size());
    return (random.size() == temporaryRandomPart.size() || random.size() == earlierTemporaryRandomLength)
        && random.find_first_not_of(temporaryAlphabet) == std::string_view::npos;
}

// A writer that dies between creating its temporary file and renaming it
// (killed, out of power) leaves the file behind, and nothing else would
// ever remove it; every such death would add one. So each successful write
// removes the leftovers of earlier writes to the same target: regular files
// of this user with our temporary names, untouched for longer than any
// write takes. A write in flight in another process has touched its file
// moments ago and is left alone. This is tidying only: the write has
// already succeeded, so failures here are ignored.
constexpr auto abandonedAfter = std::chrono::minutes(1);

void removeAbandonedTemporaryFiles(const fs::path& folder, const fs::path& target)
{
    auto const targetName = target.filename().string();
    DIR* const directory = ::opendir(folder.c_str());
    if (directory == nullptr)
        return;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    int const folderDescriptor = ::dirfd(directory);
    while (dirent const* entry = ::readdir(directory)) {
        if (!isTemporaryNameOf(entry->d_name, targetName))
            continue;
        struct stat status {};
        if (::fstatat(folderDescriptor, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
            continue;
        if (now.tv_sec - status.st_mtim.tv_sec <= std::chrono::seconds(abandonedAfter).count())
            continue;
        ::unlinkat(folderDescriptor, entry->d_name, 0);
    }
    ::closedir(directory);
}

}

bool isSingleFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

std::shared_ptr<FileManager> FileManager::defaultManager()
{
    static auto const manager = std::make_shared<FileManager>();
    return manager;
}

std::optional<fs::path> FileManager::containerURLForSecurityApplicationGroupIdentifier(std::string_view identifier) const
{
    if (!isSingleFileName(identifier))
        return std::nullopt;
    auto const dataHome = userDataDirectory();
    if (!dataHome)
        return std::nullopt;
    return *dataHome / std::string(identifier);
}

bool FileManager::fileExistsAtPath(const fs::path& path) const
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

void FileManager::createDirectory(const fs::path& path, bool withIntermediateDirectories, fs::perms permissions) const
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return;
        throwErrno(EEXIST, "cannot create directory", path);
    }
    if (withIntermediateDirectories && path.has_parent_path() && path.parent_path() != path)
        createDirectory(path.parent_path(), true, permissions);

    // mkdir applies the umask, which can only narrow the mode; the chmod that
    // follows sets exactly what was asked for.
    if (::mkdir(path.c_str(), modeBits(permissions)) != 0) {
        if (errno == EEXIST && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            return; // another process created it meanwhile
        throwErrno(errno, "cannot create directory", path);
    }
    setPosixPermissions(path, permissions);
}

void FileManager::setPosixPermissions(const fs::path& path, fs::perms permissions) const
{
    if (::chmod(path.c_str(), modeBits(permissions)) != 0)
        throwErrno(errno, "cannot set permissions of", path);
}

std::string FileManager::contentsOfFile(const fs::path& path, std::size_t maximumLength) const
{
    RegularFile file(path);
    if (!file.isOpen())
        throwErrno(file.error().value(), "cannot open file", path);
    switch (file.opening()) {
    case RegularFile::Opening::opened:
        break;
    case RegularFile::Opening::notRegular:
        if (file.isFolder())
            throwErrno(EISDIR, "cannot read file", path);
        throw std::system_error(EINVAL, std::generic_category(), "cannot read file " + path.string() + ": not a regular file");
    case RegularFile::Opening::failed:
        throwErrno(file.error().value(), "cannot read file", path);
    }
    auto const size = file.identity().size;
    if (size < 0 || static_cast<std::uintmax_t>(size) > maximumLength)
        throwErrno(EFBIG, "cannot read file", path);

    // The size is a hint only: the file may grow or shrink while it is read.
    std::string contents;
    contents.reserve(static_cast<std::size_t>(size));
    // Left uninitialized: zero-filling it would touch all its pages for a
    // file of a few kilobytes, a cost every cold start would pay.
    constexpr std::size_t bufferSize = 64 * 1024;
    auto const buffer = std::make_unique_for_overwrite<char[]>(bufferSize);
    for (;;) {
        auto const count = file.readAt(std::span(buffer.get(), bufferSize), static_cast<std::int64_t>(contents.size()));
        if (!count)
            throwErrno(file.error().value(), "cannot read file", path);
        if (*count == 0)
            break;
        if (contents.size() + *count > maximumLength)
            throwErrno(EFBIG, "cannot read file", path);
        contents.append(buffer.get(), *count);
    }
    return contents;
}

void FileManager::writeAtomically(const fs::path& path, std::string_view bytes) const
{
    fs::path const folder = path.has_parent_path() ? path.parent_path() : fs::path(".");

    // mkostemps creates the file exclusively, mode 0600, under a name
    // nobody can predict, and retries when the name is taken.
    std::string name = (folder / ("." + path.filename().string() + ".")).string();
    name += temporaryRandomPart;
    name += temporarySuffix;
    int const fd = ::mkostemps(name.data(), static_cast<int>(temporarySuffix.size()), O_CLOEXEC);
    if (fd < 0) {
        int const error = errno;
        throwErrno(error, "cannot create file", name);
    }
    fs::path const temporary(name);

    FileDescriptor file(fd);
    try {
        // The umask may have narrowed the mode further; the owner must still
        // be able to read the file back, and nobody else ever may.
        if (::fchmod(file.get(), S_IRUSR | S_IWUSR) != 0)
            throwErrno(errno, "cannot set permissions of", temporary);
        writeAll(file.get(), bytes, temporary);
        if (::fsync(file.get()) != 0)
            throwErrno(errno, "cannot flush file", temporary);
        if (::close(file.release()) != 0)
            throwErrno(errno, "cannot close file", temporary);
        if (::rename(temporary.c_str(), path.c_str()) != 0)
            throwErrno(errno, "cannot replace file", path);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }

    // The rename is durable only once the folder itself is on disk.
    FileDescriptor const directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0 || ::fsync(directory.get()) != 0)
        throwErrno(errno, "cannot flush directory", folder);

    removeAbandonedTemporaryFiles(folder, path);
}

}
