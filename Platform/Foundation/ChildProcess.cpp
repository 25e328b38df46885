#include "Platform/Foundation/ChildProcess.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <span>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// Debian 12's C library declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}

namespace Foundation {

namespace {

using Clock = ChildProcess::Clock;

// Bytes moved per read: large enough that a big output costs few calls.
constexpr std::size_t chunkSize = 64 * 1024;

[[noreturn]] void throwSystemError(int code, const std::string& message)
{
    throw std::system_error(code, std::generic_category(), message);
}

// One open descriptor (an end of a pipe, a process's); closed once,
// whoever closes it.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }

    int descriptor() const { return m_descriptor; }
    bool isOpen() const { return m_descriptor >= 0; }
    void adopt(int descriptor)
    {
        close();
        m_descriptor = descriptor;
    }
    void close()
    {
        if (m_descriptor >= 0)
            ::close(std::exchange(m_descriptor, -1));
    }

private:
    int m_descriptor = -1;
};

// Moves `end` above standard error, so that placing one pipe end as the
// child's input never overwrites the other before it becomes its output
// (a program started with its standard streams closed gets pipes there).
void moveAboveStandardStreams(Descriptor& end)
{
    if (end.descriptor() > STDERR_FILENO)
        return;
    int const moved = ::fcntl(end.descriptor(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0)
        throwSystemError(errno, "cannot create a pipe");
    end.adopt(moved);
}

// A pipe whose ends close on exec, so that no other child started meanwhile
// inherits them and keeps the pipe open past this one's end.
void openPipe(Descriptor& reader, Descriptor& writer)
{
    std::array<int, 2> ends {};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0)
        throwSystemError(errno, "cannot create a pipe");
    reader.adopt(ends[0]);
    writer.adopt(ends[1]);
    moveAboveStandardStreams(reader);
    moveAboveStandardStreams(writer);
}

// The parent never waits inside read or write: poll says when a call will
// make progress, and a non-blocking end makes sure it returns at once even
// when less room is free than a write asks for.
void makeNonBlocking(int descriptor)
{
    int const flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0)
        throwSystemError(errno, "cannot make a pipe non-blocking");
}

// The whole milliseconds left until `deadline`, rounded up so that a wait
// never ends just before it; 0 once it has passed.
long long millisecondsUntil(Clock::time_point deadline)
{
    auto const left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max<long long>(left.count(), 0);
}

// Waits until one of `descriptors` is ready or the deadline passes; false
// at the deadline. A signal handled meanwhile only shortens the wait.
bool pollUntil(std::span<pollfd> descriptors, Clock::time_point deadline)
{
    for (;;) {
        int const timeout = static_cast<int>(std::min<long long>(millisecondsUntil(deadline), INT_MAX));
        int const ready = ::poll(descriptors.data(), descriptors.size(), timeout);
        if (ready > 0)
            return true;
        if (ready == 0) {
            if (Clock::now() >= deadline)
                return false;
            continue;
        }
        if (errno != EINTR)
            throwSystemError(errno, "cannot wait for a child process");
    }
}

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

// Reads at most `limit` bytes onto `buffer`; false at the end of the output.
// Nothing to read yet is no end: `buffer` just stays as it was.
bool readSome(int descriptor, std::string& buffer, std::size_t limit, const std::string& program)
{
    std::size_t const before = buffer.size();
    buffer.resize(before + limit);
    for (;;) {
        ssize_t const count = ::read(descriptor, buffer.data() + before, limit);
        if (count >= 0) {
            buffer.resize(before + static_cast<std::size_t>(count));
            return count > 0;
        }
        if (errno == EINTR)
            continue;
        int const error = errno;
        buffer.resize(before);
        if (error == EAGAIN)
            return true;
        throwSystemError(error, fmt::format("cannot read from {}", program));
    }
}

// Setting up a child's start fails only for want of memory.
void throwIfFailed(int error)
{
    if (error != 0)
        throwSystemError(error, "cannot prepare a child process");
}

// The attributes a child starts with: no blocked signal, and SIGPIPE at
// its default action. A program inherits its parent's blocked and ignored
// signals, and a long-running parent blocks SIGTERM to read it from a
// descriptor, or ignores SIGPIPE to see EPIPE: unblocked, the child can
// still be stopped like any other, and one writing to a reader that went
// ends as under `head`. Its process group and session are ours.
class SpawnAttributes {
public:
    SpawnAttributes()
    {
        throwIfFailed(::posix_spawnattr_init(&m_attributes));
        sigset_t signals;
        ::sigemptyset(&signals);
        ::posix_spawnattr_setsigmask(&m_attributes, &signals);
        ::sigaddset(&signals, SIGPIPE);
        ::posix_spawnattr_setsigdefault(&m_attributes, &signals);
        ::posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&m_attributes); }

    const posix_spawnattr_t* get() const { return &m_attributes; }

private:
    posix_spawnattr_t m_attributes;
};

// The child's descriptors: `input` and `output` as its standard input and
// output, standard error ours, and nothing else, not even a descriptor
// some other part of the program opened without close-on-exec.
class SpawnDescriptors {
public:
    SpawnDescriptors(int input, int output)
    {
        throwIfFailed(::posix_spawn_file_actions_init(&m_actions));
        try {
            throwIfFailed(::posix_spawn_file_actions_adddup2(&m_actions, input, STDIN_FILENO));
            throwIfFailed(::posix_spawn_file_actions_adddup2(&m_actions, output, STDOUT_FILENO));
            throwIfFailed(::posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1));
        } catch (...) {
            ::posix_spawn_file_actions_destroy(&m_actions);
            throw;
        }
    }
    SpawnDescriptors(const SpawnDescriptors&) = delete;
    SpawnDescriptors& operator=(const SpawnDescriptors&) = delete;
    ~SpawnDescriptors() { ::posix_spawn_file_actions_destroy(&m_actions); }

    const posix_spawn_file_actions_t* get() const { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

// Waits until `process`, a child of ours, has ended, and reaps it; its
// status as waitpid gives it.
int reap(pid_t process, const std::string& program)
{
    int status = 0;
    while (::waitpid(process, &status, 0) < 0) {
        if (errno != EINTR)
            throwSystemError(errno, fmt::format("cannot wait for {}", program));
    }
    return status;
}

// The child's process descriptor turns readable when it ends, so that its
// end is waited for with poll and a deadline, without a SIGCHLD handler or
// a thread, and without reaping it before we know whether to kill it.
ProcessEnd waitForEnd(pid_t process, const std::string& program, Clock::time_point deadline)
{
    Descriptor ending(::pidfd_open(process, 0));
    if (!ending.isOpen())
        throwSystemError(errno, fmt::format("cannot wait for {}", program));
    std::array<pollfd, 1> descriptors { { { ending.descriptor(), POLLIN, 0 } } };
    bool const killed = !pollUntil(descriptors, deadline);
    if (killed)
        ::kill(process, SIGKILL);
    int const status = reap(process, program);

    ProcessEnd end;
    end.timedOut = killed;
    if (WIFEXITED(status))
        end.exitStatus = WEXITSTATUS(status);
    return end;
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

    std::vector<char*> argumentVector;
    for (auto const& argument : arguments)
        argumentVector.push_back(const_cast<char*>(argument.c_str()));
    argumentVector.push_back(nullptr);

    SpawnDescriptors const descriptors(inputForChild.descriptor(), outputForChild.descriptor());
    SpawnAttributes const attributes;
    pid_t process = 0;
    int const error = ::posix_spawnp(&process, argumentVector.front(), descriptors.get(), attributes.get(),
        argumentVector.data(), environ);
    if (error != 0)
        throwSystemError(error, fmt::format("cannot start {}", m_state->program));
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
