#include "TavvoHost/LogFiles/LineSplitter.hpp"

#include <cstring>

namespace TavvoHost {

LineSplitter::LineSplitter(std::size_t maxLineBytes, bool skipping)
    : m_maxLineBytes(maxLineBytes)
    , m_skipping(skipping)
{
}

void LineSplitter::skipOverlong()
{
    m_pending.clear();
    ++m_overlongLines;
}

void LineSplitter::deliver(std::string_view text, LineConsumer& consumer)
{
    ++m_lines;
    consumer.line(text);
}

void LineSplitter::feed(std::string_view bytes, LineConsumer& consumer)
{
    while (!bytes.empty()) {
        auto const* newline = static_cast<char const*>(std::memchr(bytes.data(), '\n', bytes.size()));
        if (!newline) {
            if (m_skipping)
                return;
            if (m_pending.size() + bytes.size() > m_maxLineBytes) {
                skipOverlong();
                m_skipping = true;
                return;
            }
            m_pending.append(bytes);
            return;
        }

        auto const length = static_cast<std::size_t>(newline - bytes.data());
        std::string_view const segment = bytes.substr(0, length);
        bytes.remove_prefix(length + 1);
        if (m_skipping) {
            m_skipping = false;
        } else if (m_pending.size() + segment.size() > m_maxLineBytes) {
            skipOverlong();
        } else if (m_pending.empty()) {
            // The common case: the whole line lies in this chunk, no copy.
            deliver(segment, consumer);
        } else {
            m_pending.append(segment);
            deliver(m_pending, consumer);
            m_pending.clear();
        }
    }
}

}
