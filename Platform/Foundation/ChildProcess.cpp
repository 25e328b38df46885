#include "Platform/Foundation/ChildProcess.hpp"

#include "Platform/Foundation/ChildProcessParts.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <span>
#include <system_error>
#include <utility>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace Foundation {

using namespace ChildProcessParts;

namespace {

// Writing into a pipe whose reader has gone raises SIGPIPE, whose default
// action ends the whole process. A library may not change the process's
// disposition (the program may rely on its own), and MSG_NOSIGNAL works on
// sockets only. So the signal is blocked in this thread for the length of
// a write; when the write raised it, it is taken off the pending set again
// before the mask is restored (unless it was pending before: then it was
// someone else's and stays). SIGPIPE of a write is directed at the thread
// that wrote, so no other thread sees it.
class BrokenPipeSignalGuard {
public:
    BrokenPipeSignalGuard()
    {
        ::sigemptyset(&m_signals);
        ::sigaddset(&m_signals, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &m_signals, &m_previousMask);
        sigset_t pending;
        ::sigpending(&pending);
        m_wasPending = ::sigismember(&pending, SIGPIPE) == 1;
    }
    BrokenPipeSignalGuard(const BrokenPipeSignalGuard&) = delete;
    BrokenPipeSignalGuard& operator=(const BrokenPipeSignalGuard&) = delete;
    ~BrokenPipeSignalGuard() { ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr); }

    // After a write failed with EPIPE.
    void discardRaisedSignal()
    {
        if (m_wasPending)
            return;
        timespec const immediately {};
        while (::sigtimedwait(&m_signals, nullptr, &immediately) < 0 && errno == EINTR) {
        }
    }

private:
    sigset_t m_signals;
    sigset_t m_previousMask;
    bool m_wasPending = false;
};

// Writes what the pipe takes at once; the count written, 0 when it is full.
// Throws EPIPE when nobody reads the pipe any more.
std::size_t writeSome(int descriptor, std::string_view bytes, const std::string& program)
{
    BrokenPipeSignalGuard guard;
    for (;;) {
        ssize_t const written = ::write(descriptor, bytes.data(), bytes.size());
        if (written >= 0)
            return static_cast<std::size_t>(written);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        int const error = errno;
        if (error == EPIPE)
            guard.discardRaisedSignal();
        throwSystemError(error, fmt::format("cannot write to {}", program));
    }
}

}

struct ChildProcess::State {
    std::string program;
    // Nothing once the child has been reaped.
    std::optional<pid_t> process;
    Descriptor input;
    Descriptor output;
    // Output read past the last line handed out.
    std::string pending;
    bool outputEnded = false;
};

ChildProcess::ChildProcess(const std::vector<std::string>& arguments)
    : m_state(std::make_unique<State>())
{
    if (arguments.empty())
        throwSystemError(EINVAL, "cannot start a program without a name");
    m_state->program = arguments.front();

    Descriptor inputForChild;
    openPipe(inputForChild, m_state->input);
    Descriptor outputForChild;
    openPipe(m_state->output, outputForChild);
    makeNonBlocking(m_state->input.descriptor());
    makeNonBlocking(m_state->output.descriptor());

    pid_t const process = spawnProgram(arguments, inputForChild.descriptor(), outputForChild.descriptor(), std::nullopt);
    m_state->process = process;
    // The child's ends close here, so that this process keeps only its own
    // and sees the output end when the child closes it.
}

ChildProcess::Clock::time_point ChildProcess::deadlineAfter(std::chrono::milliseconds timeout)
{
    auto const now = Clock::now();
    if (timeout <= std::chrono::milliseconds::zero())
        return now;
    auto const room = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::time_point::max() - now);
    if (timeout >= room)
        return Clock::time_point::max();
    return now + std::chrono::duration_cast<Clock::duration>(timeout);
}

ChildProcess::~ChildProcess()
{
    if (!m_state->process)
        return;
    m_state->input.close();
    m_state->output.close();
    ::kill(*m_state->process, SIGKILL);
    try {
        reap(*m_state->process, m_state->program);
    } catch (const std::system_error&) {
        // Reaped elsewhere already, against this class's contract: nothing
        // is left to wait for.
    }
}

void ChildProcess::writeAll(std::string_view bytes, Clock::time_point deadline)
{
    while (!bytes.empty()) {
        if (!m_state->input.isOpen())
            throwSystemError(EPIPE, fmt::format("cannot write to {}", m_state->program));
        std::array<pollfd, 1> descriptors { { { m_state->input.descriptor(), POLLOUT, 0 } } };
        if (!pollUntil(descriptors, deadline))
            throwSystemError(ETIMEDOUT, fmt::format("cannot write to {}", m_state->program));
        bytes.remove_prefix(writeSome(m_state->input.descriptor(), bytes, m_state->program));
    }
}

std::optional<std::string> ChildProcess::readLine(std::size_t maximumLength, Clock::time_point deadline)
{
    std::string& pending = m_state->pending;
    for (;;) {
        auto const newline = pending.find('\n');
        if (newline != std::string::npos && newline <= maximumLength) {
            std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            return line;
        }
        if (pending.size() > maximumLength)
            throwSystemError(EMSGSIZE, fmt::format("cannot read from {}", m_state->program));
        if (m_state->outputEnded) {
            if (pending.empty())
                return std::nullopt;
            return std::exchange(pending, std::string());
        }
        std::array<pollfd, 1> descriptors { { { m_state->output.descriptor(), POLLIN, 0 } } };
        if (!pollUntil(descriptors, deadline))
            throwSystemError(ETIMEDOUT, fmt::format("cannot read from {}", m_state->program));
        // One byte past the maximum is enough to know the line is too long.
        std::size_t const room = maximumLength - pending.size();
        std::size_t const limit = room < chunkSize ? room + 1 : chunkSize;
        if (!readSome(m_state->output.descriptor(), pending, limit, m_state->program))
            m_state->outputEnded = true;
    }
}

void ChildProcess::closeInput()
{
    m_state->input.close();
}

ProcessEnd ChildProcess::finish(Clock::time_point deadline)
{
    // A child blocked on a full output pipe, or waiting for more input,
    // would never end by itself.
    m_state->input.close();
    m_state->output.close();
    ProcessEnd const end = waitForEnd(*m_state->process, m_state->program, deadline);
    m_state->process.reset();
    return end;
}

bool ChildProcess::exchange(std::string_view input, std::size_t maximumOutput, Clock::time_point deadline, std::string& output)
{
    if (input.empty())
        closeInput();
    while (m_state->output.isOpen()) {
        if (output.size() >= maximumOutput) {
            m_state->output.close();
            break;
        }
        std::array<pollfd, 2> descriptors { {
            { m_state->output.descriptor(), POLLIN, 0 },
            { m_state->input.descriptor(), POLLOUT, 0 },
        } };
        std::span<pollfd> const watched(descriptors.data(), m_state->input.isOpen() ? 2 : 1);
        if (!pollUntil(watched, deadline))
            return false;
        if (watched.size() > 1 && descriptors[1].revents != 0) {
            try {
                input.remove_prefix(writeSome(m_state->input.descriptor(), input, m_state->program));
            } catch (const std::system_error& error) {
                // The child stopped reading: what it did not take is dropped.
                if (error.code().value() != EPIPE)
                    throw;
                input = {};
            }
            if (input.empty())
                closeInput();
        }
        if (descriptors[0].revents != 0) {
            std::size_t const limit = std::min(chunkSize, maximumOutput - output.size());
            if (!readSome(m_state->output.descriptor(), output, limit, m_state->program))
                m_state->output.close();
        }
    }
    return true;
}

ProcessOutcome runToCompletion(const std::vector<std::string>& arguments, std::string_view input,
    std::chrono::milliseconds timeout, std::size_t maximumOutput)
{
    auto const deadline = ChildProcess::deadlineAfter(timeout);
    ChildProcess child(arguments);
    ProcessOutcome outcome;
    bool const ended = child.exchange(input, maximumOutput, deadline, outcome.output);
    ProcessEnd const end = child.finish(deadline);
    outcome.exitStatus = end.exitStatus;
    outcome.timedOut = !ended || end.timedOut;
    return outcome;
}

}
