// RegularFile: a file opened for reading only when it is a regular file.
#pragma once

#include "Platform/Foundation/FileIdentity.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>

namespace Foundation {

// Opening never blocks and never adopts a terminal: a FIFO opened for
// reading would wait for a writer, a device may never end, so anything
// that fstat does not call a regular file is closed again unread. The
// check is on the opened descriptor, so a path swapped after a directory
// listing cannot slip a FIFO or a link to /dev/zero in. A symbolic link is
// followed: its target decides.
class RegularFile {
public:
    enum class Opening {
        opened,
        notRegular, // a folder, FIFO, socket, device or anything else
        failed, // error() says why
    };

    explicit RegularFile(const std::filesystem::path& path);
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    Opening opening() const { return m_opening; }
    // Whether the path could be opened at all. A socket cannot (its opening
    // is notRegular all the same), nor can a file without permission.
    bool isOpen() const { return m_descriptor >= 0; }
    // Whether what is at the path is a folder, opened or not.
    bool isFolder() const { return m_isFolder; }
    // Why opening failed, or why the last read did. When the path could not
    // be opened, why not, whatever the opening.
    std::error_code error() const { return m_error; }
    // The file as it was when opened; meaningful once opened.
    const FileIdentity& identity() const { return m_identity; }

    // Up to buffer.size() bytes from `offset`: how many were read (0 at the
    // end of the file), or nothing when reading failed (see error()).
    std::optional<std::size_t> readAt(std::span<char> buffer, std::int64_t offset);

private:
    void take(const FileStatus& status);

    int m_descriptor = -1;
    Opening m_opening = Opening::failed;
    bool m_isFolder = false;
    std::error_code m_error;
    FileIdentity m_identity;
};

}
