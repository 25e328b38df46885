#include "TavvoHost/LogFiles/CompressedLogFile.hpp"

#include "Platform/Foundation/RegularFile.hpp"

#include <memory>

#include <zstd.h>

namespace TavvoHost {

namespace {

// A frame may ask for a window of up to 2 GiB. The compressors' levels up
// to 19 stay at or below 8 MiB, and a frame of known size never asks for
// more than its size; 16 MiB leaves room for the highest levels on large
// logs and keeps the reader within its memory budget. A larger request is
// refused as corrupt rather than allowed to hold that much memory.
constexpr int maxWindowLog = 24;

struct ContextDeleter {
    void operator()(ZSTD_DCtx* context) const { ZSTD_freeDCtx(context); }
};

}

CompressedLogFile::CompressedLogFile(LogFileLimits limits)
    : m_limits(limits)
{
}

LogFileRead CompressedLogFile::read(const std::filesystem::path& path, LineConsumer& consumer)
{
    Foundation::RegularFile file(path);
    if (file.opening() == Foundation::RegularFile::Opening::failed)
        return endedWith(LogFileRead::Outcome::failed, file.error());
    if (file.opening() == Foundation::RegularFile::Opening::notRegular)
        return endedWith(LogFileRead::Outcome::notRegular);

    if (m_identity == file.identity())
        return {};
    m_identity = file.identity();
    auto const size = file.identity().size;

    std::unique_ptr<ZSTD_DCtx, ContextDeleter> const context(ZSTD_createDCtx());
    if (!context || ZSTD_isError(ZSTD_DCtx_setParameter(context.get(), ZSTD_d_windowLogMax, maxWindowLog)))
        return endedWith(LogFileRead::Outcome::corrupt);

    LogFileRead result;
    result.outcome = LogFileRead::Outcome::read;
    result.fromStart = true;
    consumer.startOfFile();

    LineSplitter splitter(m_limits.maxLineBytes);
    // Left uninitialised: every byte used was read or decompressed first.
    auto const input = std::make_unique_for_overwrite<char[]>(logFileChunkBytes);
    auto const output = std::make_unique_for_overwrite<char[]>(logFileChunkBytes);
    std::uint64_t produced = 0;
    std::size_t frameRemainder = 0; // non-zero while a frame is unfinished
    std::int64_t position = 0;
    while (position < size && result.outcome == LogFileRead::Outcome::read) {
        auto const wanted = std::min<std::int64_t>(static_cast<std::int64_t>(logFileChunkBytes), size - position);
        auto const count = file.readAt(std::span(input.get(), static_cast<std::size_t>(wanted)), position);
        if (!count) {
            result.outcome = LogFileRead::Outcome::failed;
            result.error = file.error();
            break;
        }
        if (*count == 0)
            break;
        position += static_cast<std::int64_t>(*count);

        ZSTD_inBuffer in { input.get(), *count, 0 };
        // Drain the chunk, and everything it expands to, before reading on.
        for (bool outputFull = true; in.pos < in.size || outputFull;) {
            ZSTD_outBuffer out { output.get(), logFileChunkBytes, 0 };
            frameRemainder = ZSTD_decompressStream(context.get(), &out, &in);
            if (ZSTD_isError(frameRemainder)) {
                result.outcome = LogFileRead::Outcome::corrupt;
                break;
            }
            outputFull = out.pos == out.size;
            if (produced + out.pos > m_limits.maxDecompressedBytes) {
                result.outcome = LogFileRead::Outcome::capped;
                break;
            }
            produced += out.pos;
            splitter.feed(std::string_view(output.get(), out.pos), consumer);
        }
    }

    if (result.outcome == LogFileRead::Outcome::read) {
        if (frameRemainder != 0 || position < size)
            result.outcome = LogFileRead::Outcome::truncated;
        else if (!splitter.skipping() && splitter.pendingBytes() > 0)
            splitter.feed("\n", consumer);
    }
    result.lines = splitter.lines();
    result.overlongLines = splitter.overlongLines();
    return result;
}

}
