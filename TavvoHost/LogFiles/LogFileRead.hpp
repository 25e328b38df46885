// LogFileRead: what one read of a log file came to, and the limits it keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <system_error>

namespace TavvoHost {

struct LogFileLimits {
    // Longer lines are skipped and counted; no log line of interest comes near.
    std::size_t maxLineBytes = std::size_t { 1 } << 20;
    // A compressed file that expands beyond this is cut off there: a
    // session's whole log stays far below, a crafted frame does not.
    std::uint64_t maxDecompressedBytes = std::uint64_t { 512 } << 20;
};

// Bytes are read in chunks of this size, never a whole file at once.
inline constexpr std::size_t logFileChunkBytes = std::size_t { 256 } << 10;

struct LogFileRead {
    enum class Outcome {
        unchanged, // nothing new since the last read: the file was not read
        read, // read to its end (lines after the last newline wait)
        notRegular, // a FIFO, socket, device or anything else: never read
        failed, // could not be opened or read (error says why)
        corrupt, // the compressed data is damaged or needs too much memory
        truncated, // the compressed data ends inside a frame
        capped, // the compressed data expands beyond maxDecompressedBytes
    };

    Outcome outcome = Outcome::unchanged;
    std::error_code error;
    // Reading began at the start of the file.
    bool fromStart = false;
    std::int64_t lines = 0;
    std::int64_t overlongLines = 0;
};

// A read that came to `outcome` before any line was delivered.
inline LogFileRead endedWith(LogFileRead::Outcome outcome, std::error_code error = {})
{
    LogFileRead result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

}
