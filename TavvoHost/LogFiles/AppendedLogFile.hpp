// AppendedLogFile: reads what was appended to one plain log file since the
// last read.
#pragma once

#include "Platform/Foundation/FileIdentity.hpp"
#include "TavvoHost/LogFiles/LineSplitter.hpp"
#include "TavvoHost/LogFiles/LogFileRead.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>

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
    LogFileLimits m_limits;
    std::optional<Foundation::FileIdentity> m_identity;
    std::int64_t m_offset = 0;
    std::int64_t m_end = 0; // how far the last read went, past any incomplete line
    bool m_skipping = false;
};

}
