// RegularFile: a file opened for reading only when it is a regular file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>

#include <sys/stat.h>

namespace TavvoHost {

// Opening never blocks and never adopts a terminal: a FIFO opened for
// reading would wait for a writer, a device may never end, so anything
// that fstat does not call a regular file is closed again unread. The
// check is on the opened descriptor, so a path swapped after a directory
// listing cannot slip a FIFO or a link to /dev/zero in.
class RegularFile {
public:
    enum class Opening {
        opened,
        notRegular,
        failed,
    };

    explicit RegularFile(const std::filesystem::path& path);
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    Opening opening() const { return m_opening; }
    // Why opening failed, or why the last read did.
    std::error_code error() const { return m_error; }
    // The status at opening; meaningful once opened.
    const struct stat& status() const { return m_status; }

    // Up to buffer.size() bytes from `offset`: how many were read (0 at the
    // end of the file), or nothing when reading failed (see error()).
    std::optional<std::size_t> readAt(std::span<char> buffer, off_t offset);

private:
    int m_descriptor = -1;
    Opening m_opening = Opening::failed;
    std::error_code m_error;
    struct stat m_status {};
};

}
