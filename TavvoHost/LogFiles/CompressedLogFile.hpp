// CompressedLogFile: reads the lines of one zstd-compressed log file, whole,
// each time the file changed.
#pragma once

#include "TavvoHost/LogFiles/LineSplitter.hpp"
#include "TavvoHost/LogFiles/LogFileRead.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>

#include <sys/types.h>

namespace TavvoHost {

// A compressed stream cannot be resumed in the middle, so a file whose
// device, inode, size or modification time differ from the last read is
// decompressed from the start and an unchanged one is not read at all,
// whatever the last read came to (a damaged file is reported once).
// Decompression streams through fixed buffers: memory does not depend on
// the file. A complete file's last line counts even without a newline,
// since nothing will be appended to it.
class CompressedLogFile {
public:
    explicit CompressedLogFile(LogFileLimits limits = {});

    LogFileRead read(const std::filesystem::path& path, LineConsumer& consumer);

private:
    struct Version {
        dev_t device;
        ino_t inode;
        off_t size;
        std::int64_t modifiedNanoseconds;
        friend bool operator==(const Version&, const Version&) = default;
    };

    LogFileLimits m_limits;
    std::optional<Version> m_version;
};

}
