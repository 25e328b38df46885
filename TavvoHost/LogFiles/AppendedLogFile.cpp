#include "TavvoHost/LogFiles/AppendedLogFile.hpp"

#include "Platform/Foundation/RegularFile.hpp"

#include <memory>

namespace TavvoHost {

AppendedLogFile::AppendedLogFile(LogFileLimits limits)
    : m_limits(limits)
{
}

LogFileRead AppendedLogFile::read(const std::filesystem::path& path, LineConsumer& consumer)
{
    Foundation::RegularFile file(path);
    if (file.opening() == Foundation::RegularFile::Opening::failed)
        return endedWith(LogFileRead::Outcome::failed, file.error());
    if (file.opening() == Foundation::RegularFile::Opening::notRegular)
        return endedWith(LogFileRead::Outcome::notRegular);

    auto const& identity = file.identity();
    auto const size = identity.size;
    LogFileRead result;
    if (!m_identity || !m_identity->isSameFile(identity) || size < m_end) {
        m_identity = identity;
        m_offset = 0;
        m_end = 0;
        m_skipping = false;
        result.fromStart = true;
    } else if (size == m_end) {
        return result; // not even an incomplete line grew
    }
    if (result.fromStart)
        consumer.startOfFile();

    LineSplitter splitter(m_limits.maxLineBytes, m_skipping);
    // Left uninitialised: every byte passed on was read first.
    auto const buffer = std::make_unique_for_overwrite<char[]>(logFileChunkBytes);
    std::int64_t position = m_offset;
    result.outcome = LogFileRead::Outcome::read;
    while (position < size) {
        auto const wanted = std::min<std::int64_t>(static_cast<std::int64_t>(logFileChunkBytes), size - position);
        auto const count = file.readAt(std::span(buffer.get(), static_cast<std::size_t>(wanted)), position);
        if (!count) {
            result.outcome = LogFileRead::Outcome::failed;
            result.error = file.error();
            break;
        }
        if (*count == 0)
            break; // truncated while we read: the next read starts over
        splitter.feed(std::string_view(buffer.get(), *count), consumer);
        position += static_cast<std::int64_t>(*count);
    }

    // The held-back incomplete line is read again next time.
    m_end = position;
    m_offset = position - static_cast<std::int64_t>(splitter.pendingBytes());
    m_skipping = splitter.skipping();
    result.lines = splitter.lines();
    result.overlongLines = splitter.overlongLines();
    return result;
}

}
