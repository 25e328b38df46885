#include "Platform/Foundation/FileIdentity.hpp"

#include <chrono>

#include <sys/stat.h>

namespace Foundation {

namespace {

// A change this soon after the one before may leave the modification time
// as it was (see isSettled).
constexpr auto fineTimeGranularity = std::chrono::milliseconds(100);
constexpr auto wholeSecondGranularity = std::chrono::seconds(3);

// Compared second by second, since a file's seconds may not fit a Date.
bool isBefore(const FileTime& time, Date date)
{
    auto const second = std::chrono::floor<std::chrono::seconds>(date);
    if (time.seconds != second.time_since_epoch().count())
        return time.seconds < second.time_since_epoch().count();
    return time.nanoseconds / 1000 < (date - second).count();
}

FileTime fileTime(const timespec& time)
{
    return { time.tv_sec, time.tv_nsec };
}

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::regularFile;
    if (S_ISDIR(mode))
        return FileKind::folder;
    return FileKind::other;
}

}

bool FileIdentity::isModifiedBefore(Date date) const
{
    return isBefore(modified, date);
}

bool FileIdentity::isSettled(Date now) const
{
    if (modified.nanoseconds != 0)
        return isBefore(modified, now - fineTimeGranularity);
    return isBefore(modified, now - wholeSecondGranularity);
}

std::optional<FileStatus> fileStatus(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return fileStatus(status);
}

FileStatus fileStatus(const struct stat& status)
{
    return { kindOf(status.st_mode),
        { status.st_dev, status.st_ino, status.st_size, fileTime(status.st_mtim), fileTime(status.st_ctim) } };
}

}
