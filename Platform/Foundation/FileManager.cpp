#include "Platform/Foundation/FileManager.hpp"

#include "Platform/Foundation/Environment.hpp"

#include <cerrno>
#include <cstdlib>
#include <random>
#include <system_error>
#include <vector>

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

std::string temporaryNameBeside(const fs::path& target)
{
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
    std::string name = "." + target.filename().string() + ".";
    for (int i = 0; i < 12; ++i)
        name += alphabet[pick(random)];
    return name + ".tmp";
}

bool isUsableFolderName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

}

std::shared_ptr<FileManager> FileManager::defaultManager()
{
    static auto const manager = std::make_shared<FileManager>();
    return manager;
}

std::optional<fs::path> FileManager::containerURLForSecurityApplicationGroupIdentifier(std::string_view identifier) const
{
    if (!isUsableFolderName(identifier))
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
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    FileDescriptor const file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0)
        throwErrno(errno, "cannot open file", path);

    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        throwErrno(errno, "cannot read file", path);
    if (S_ISDIR(status.st_mode))
        throwErrno(EISDIR, "cannot read file", path);
    if (!S_ISREG(status.st_mode))
        throw std::system_error(EINVAL, std::generic_category(), "cannot read file " + path.string() + ": not a regular file");
    if (status.st_size < 0 || static_cast<std::uintmax_t>(status.st_size) > maximumLength)
        throwErrno(EFBIG, "cannot read file", path);

    // The size is a hint only: the file may grow or shrink while it is read.
    std::string contents;
    contents.reserve(static_cast<std::size_t>(status.st_size));
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        ssize_t const count = ::read(file.get(), buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno, "cannot read file", path);
        }
        if (count == 0)
            break;
        if (contents.size() + static_cast<std::size_t>(count) > maximumLength)
            throwErrno(EFBIG, "cannot read file", path);
        contents.append(buffer.data(), static_cast<std::size_t>(count));
    }
    return contents;
}

void FileManager::writeAtomically(const fs::path& path, std::string_view bytes) const
{
    fs::path const folder = path.has_parent_path() ? path.parent_path() : fs::path(".");

    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = folder / temporaryNameBeside(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
        if (fd < 0 && errno != EEXIST)
            throwErrno(errno, "cannot create file", temporary);
    }
    if (fd < 0)
        throwErrno(EEXIST, "cannot create file", temporary);

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
}

}
