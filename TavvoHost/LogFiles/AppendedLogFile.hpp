// AppendedLogFile: reads what was appended to one plain log file since the
// last read.
#pragma once

#include "TavvoHost/LogFiles/LineSplitter.hpp"
#include "TavvoHost/LogFiles/LogFileRead.hpp"

#include <filesystem>
#include <optional>

#include <sys/types.h>

namespace TavvoHost {

// Remembers the file by device and inode, the offset just past its last
// complete line and how far it was read. A file that shrank or now is
// another file is read again from the start; one that did not grow is not
// read. An incomplete last line is left for a later read, when its newline
// may have arrived; an over-long line without a newline yet is
// skipped past instead, so it is neither re-read nor held.
class AppendedLogFile {
public:
    explicit AppendedLogFile(LogFileLimits limits = {});

    // Reads at most up to the size the file had when opened, so a file that
    // grows while it is read cannot keep the reader busy.
    LogFileRead read(const std::filesystem::path& path, LineConsumer& consumer);

private:
    struct Identity {
        dev_t device;
        ino_t inode;
        friend bool operator==(const Identity&, const Identity&) = default;
    };

    LogFileLimits m_limits;
    std::optional<Identity> m_identity;
    off_t m_offset = 0;
    off_t m_end = 0; // how far the last read went, past any incomplete line
    bool m_skipping = false;
};

}
