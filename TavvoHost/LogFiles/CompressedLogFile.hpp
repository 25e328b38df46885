// CompressedLogFile: reads the lines of one zstd-compressed log file, whole,
// each time the file changed.
#pragma once

#include "Platform/Foundation/FileIdentity.hpp"
#include "TavvoHost/LogFiles/LineSplitter.hpp"
#include "TavvoHost/LogFiles/LogFileRead.hpp"

#include <filesystem>
#include <optional>

namespace TavvoHost {

// A compressed stream cannot be resumed in the middle, so a file whose
// identity differs from the last read's is decompressed from the start
// and one with the same identity is not read at all,
// whatever the last read came to (a damaged file is reported once).
// Decompression streams through fixed buffers: memory does not depend on
// the file. A complete file's last line counts even without a newline,
// since nothing will be appended to it.
class CompressedLogFile {
public:
    explicit CompressedLogFile(LogFileLimits limits = {});

    LogFileRead read(const std::filesystem::path& path, LineConsumer& consumer);

private:
    LogFileLimits m_limits;
    std::optional<Foundation::FileIdentity> m_identity;
};

}
