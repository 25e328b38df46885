// LineSplitter: cuts a stream of bytes, handed over in chunks, into lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace TavvoHost {

// Receives what a log file holds: where reading began and each complete line.
class LineConsumer {
public:
    virtual ~LineConsumer() = default;
    // Reading begins at the start of the file (its first read, or again
    // after it shrank or was replaced): state carried from line to line
    // starts afresh.
    virtual void startOfFile() = 0;
    // One complete line without its newline; valid only during the call.
    virtual void line(std::string_view text) = 0;
};

// A line only ends at its newline, so the bytes after the last newline wait
// for the next chunk. A line longer than the cap is skipped up to its
// newline however long it grows, so memory stays within the cap whatever
// the input: it is counted once, when it first exceeds the cap.
class LineSplitter {
public:
    // `skipping` resumes inside an over-long line left by an earlier read.
    explicit LineSplitter(std::size_t maxLineBytes, bool skipping = false);

    void feed(std::string_view bytes, LineConsumer& consumer);

    // The bytes of the incomplete line held back (none while skipping).
    std::size_t pendingBytes() const { return m_pending.size(); }
    std::string_view pending() const { return m_pending; }
    bool skipping() const { return m_skipping; }
    std::int64_t lines() const { return m_lines; }
    std::int64_t overlongLines() const { return m_overlongLines; }

private:
    void skipOverlong();
    void deliver(std::string_view text, LineConsumer& consumer);

    std::size_t m_maxLineBytes;
    std::string m_pending;
    bool m_skipping;
    std::int64_t m_lines = 0;
    std::int64_t m_overlongLines = 0;
};

}
