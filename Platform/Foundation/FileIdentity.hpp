// FileIdentity: which file a path led to and the state it was in, as stat
// tells, with the questions the readers of changing files ask of it: is it
// the same file, has it changed, may what was read of it be kept.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>

struct stat;

namespace Foundation {

// A timestamp as the file system keeps it. A file may carry any seconds at
// all, far outside the years a Date holds, so timestamps are compared with
// each other and with Dates, never converted.
struct FileTime {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;

    friend auto operator<=>(const FileTime&, const FileTime&) = default;
};

// The device and inode say which file; size, modification time and status
// change time say which state of it. Any write, truncation, replacement,
// change of mode or owner, or (for a folder) entry added, removed or renamed
// gives another identity. The change time is kept beside the modification
// time because only the kernel sets it: a rewrite that keeps the size and
// sets the modification time back, as a copy keeping times does, still
// gives another identity.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    FileTime modified;
    FileTime changed;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;

    // Whether both name the same file, whatever happened to it since: an
    // appended log is the same file, one replaced by a rename is not.
    bool isSameFile(const FileIdentity& other) const { return device == other.device && inode == other.inode; }

    // Whether it was last modified before `date`.
    bool isModifiedBefore(Date date) const;

    // Whether any later write must give another identity, so that finding
    // the same identity again means finding the same bytes. A write stamps
    // the current time on the file, in the ticks of the file system's
    // clock: a write within the tick of the last one may leave every field
    // as it was. So a file counts as settled once its modification time
    // lies more than a tick before `now` (by the clock the file system
    // takes its times from, read when the file's status was taken):
    //
    //   * a time with a fraction of a second comes from a file system that
    //     keeps fine times, from a clock that moves in ticks of a few
    //     milliseconds: 100 ms;
    //   * a time of whole seconds may come from a file system that keeps
    //     nothing finer than one or two seconds: 3 s.
    //
    // A time after `now` has not settled. The modification time is asked
    // rather than the change time, which nothing can set back: a file given
    // an old time by hand (copied keeping its times, moved into an archive)
    // is settled at once, as it should be for a file whose bytes were
    // written long ago; only a second such rewrite within the same tick of
    // its change time could then go unnoticed.
    bool isSettled(Date now) const;
};

// What stat says an item is.
enum class FileKind {
    regularFile,
    folder,
    other, // a FIFO, socket, device or anything else
};

struct FileStatus {
    FileKind kind = FileKind::other;
    FileIdentity identity;

    friend bool operator==(const FileStatus&, const FileStatus&) = default;
};

// The status of the item at `path`, following a symbolic link; nothing when
// it cannot be taken (no such item, no permission).
std::optional<FileStatus> fileStatus(const std::filesystem::path& path);

// What `status`, as stat filled it in, says.
FileStatus fileStatus(const struct stat& status);

}
