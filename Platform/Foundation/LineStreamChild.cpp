#include "Platform/Foundation/LineStreamChild.hpp"

#include "Platform/Foundation/ChildProcessParts.hpp"

#include <algorithm>
#include <optional>
#include <string_view>
#include <system_error>

#include <signal.h>

namespace Foundation {

using namespace ChildProcessParts;

namespace {

// Of the error stream, the end is what tells why a program stopped.
constexpr std::size_t errorTailSize = 4 * 1024;

// One read takes at most this much, so that a child writing without pause
// never keeps its reader from the rest of its work: poll calls again.
constexpr std::size_t readBudget = 16 * chunkSize;

}

struct LineStreamChild::State {
    std::string program;
    std::size_t longestLine = 0;
    // Nothing once the child has been reaped.
    std::optional<pid_t> process;
    Descriptor output;
    Descriptor error;
    // Output read past the last whole line, never longer than longestLine.
    std::string pending;
    // Inside a line already too long: everything up to its newline goes.
    bool droppingLine = false;
    std::string errorTail;
};

LineStreamChild::LineStreamChild(const std::vector<std::string>& arguments, std::size_t longestLine)
    : m_state(std::make_unique<State>())
{
    if (arguments.empty())
        throwSystemError(EINVAL, "cannot start a program without a name");
    m_state->program = arguments.front();
    m_state->longestLine = longestLine;

    Descriptor input;
    openNullInput(input);
    Descriptor outputForChild;
    openPipe(m_state->output, outputForChild);
    Descriptor errorForChild;
    openPipe(m_state->error, errorForChild);
    makeNonBlocking(m_state->output.descriptor());
    makeNonBlocking(m_state->error.descriptor());
    m_state->process = spawnProgram(arguments, input.descriptor(), outputForChild.descriptor(), errorForChild.descriptor());
}

LineStreamChild::~LineStreamChild()
{
    if (!m_state->process)
        return;
    m_state->output.close();
    m_state->error.close();
    ::kill(*m_state->process, SIGTERM);
    try {
        waitForEnd(*m_state->process, m_state->program, ChildProcess::deadlineAfter(endingGrace));
    } catch (const std::system_error&) {
        // Reaped elsewhere already, against this class's contract: nothing
        // is left to wait for.
    }
}

std::vector<int> LineStreamChild::descriptors() const
{
    std::vector<int> open;
    for (auto const* descriptor : { &m_state->output, &m_state->error }) {
        if (descriptor->isOpen())
            open.push_back(descriptor->descriptor());
    }
    return open;
}

StreamedLines LineStreamChild::readLines()
{
    readErrors();
    StreamedLines arrived;
    std::string chunk;
    for (std::size_t taken = 0; m_state->output.isOpen() && taken < readBudget; taken += chunk.size()) {
        chunk.clear();
        if (!readSome(m_state->output.descriptor(), chunk, chunkSize, m_state->program)) {
            m_state->output.close();
            break;
        }
        if (chunk.empty())
            break;
        std::string_view rest = chunk;
        while (!rest.empty()) {
            auto const newline = rest.find('\n');
            std::string_view const piece = rest.substr(0, newline);
            if (!m_state->droppingLine && m_state->pending.size() + piece.size() > m_state->longestLine) {
                m_state->droppingLine = true;
                m_state->pending.clear();
                ++arrived.droppedLines;
            }
            if (!m_state->droppingLine)
                m_state->pending.append(piece);
            if (newline == std::string_view::npos)
                break;
            if (!m_state->droppingLine)
                arrived.lines.push_back(std::move(m_state->pending));
            m_state->pending.clear();
            m_state->droppingLine = false;
            rest.remove_prefix(newline + 1);
        }
    }
    if (!m_state->output.isOpen()) {
        m_state->pending.clear();
        m_state->pending.shrink_to_fit();
    }
    return arrived;
}

bool LineStreamChild::outputEnded() const
{
    return !m_state->output.isOpen();
}

ProcessEnd LineStreamChild::finish(Clock::time_point deadline)
{
    // A child blocked on a full output pipe would never end by itself.
    m_state->output.close();
    while (m_state->error.isOpen()) {
        pollfd ready[] = { { m_state->error.descriptor(), POLLIN, 0 } };
        if (!pollUntil(ready, deadline))
            break;
        readErrors();
    }
    m_state->error.close();
    ProcessEnd const end = waitForEnd(*m_state->process, m_state->program, deadline);
    m_state->process.reset();
    return end;
}

void LineStreamChild::readErrors()
{
    for (std::size_t taken = 0; m_state->error.isOpen() && taken < readBudget; taken += chunkSize) {
        std::size_t const before = m_state->errorTail.size();
        if (!readSome(m_state->error.descriptor(), m_state->errorTail, chunkSize, m_state->program))
            m_state->error.close();
        std::size_t const after = m_state->errorTail.size();
        if (after > errorTailSize)
            m_state->errorTail.erase(0, after - errorTailSize);
        if (after == before)
            break;
    }
}

std::string LineStreamChild::lastErrorLine() const
{
    std::string_view text = m_state->errorTail;
    auto const isBlank = [](char character) { return character == ' ' || character == '\t' || character == '\r' || character == '\n'; };
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    auto const lineStart = text.rfind('\n');
    if (lineStart != std::string_view::npos)
        text.remove_prefix(lineStart + 1);
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return std::string(text);
}

}
