#include "Platform/Foundation/ChildProcessParts.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// Debian 12's C library declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}

namespace Foundation::ChildProcessParts {

namespace {

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

// The whole milliseconds left until `deadline`, rounded up so that a wait
// never ends just before it; 0 once it has passed.
long long millisecondsUntil(Clock::time_point deadline)
{
    auto const left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max<long long>(left.count(), 0);
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

// The child's descriptors: the standard streams given, and nothing else,
// not even a descriptor some other part of the program opened without
// close-on-exec.
class SpawnDescriptors {
public:
    SpawnDescriptors(int input, int output, std::optional<int> error)
    {
        throwIfFailed(::posix_spawn_file_actions_init(&m_actions));
        try {
            throwIfFailed(::posix_spawn_file_actions_adddup2(&m_actions, input, STDIN_FILENO));
            throwIfFailed(::posix_spawn_file_actions_adddup2(&m_actions, output, STDOUT_FILENO));
            if (error)
                throwIfFailed(::posix_spawn_file_actions_adddup2(&m_actions, *error, STDERR_FILENO));
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

}

void throwSystemError(int code, const std::string& message)
{
    throw std::system_error(code, std::generic_category(), message);
}

Descriptor::Descriptor(int descriptor)
    : m_descriptor(descriptor)
{
}

Descriptor::~Descriptor()
{
    close();
}

void Descriptor::adopt(int descriptor)
{
    close();
    m_descriptor = descriptor;
}

void Descriptor::close()
{
    if (m_descriptor >= 0)
        ::close(std::exchange(m_descriptor, -1));
}

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

void openNullInput(Descriptor& input)
{
    input.adopt(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!input.isOpen())
        throwSystemError(errno, "cannot open /dev/null");
    moveAboveStandardStreams(input);
}

void makeNonBlocking(int descriptor)
{
    int const flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0)
        throwSystemError(errno, "cannot make a pipe non-blocking");
}

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

pid_t spawnProgram(const std::vector<std::string>& arguments, int input, int output, std::optional<int> error)
{
    if (arguments.empty())
        throwSystemError(EINVAL, "cannot start a program without a name");
    std::vector<char*> argumentVector;
    for (auto const& argument : arguments)
        argumentVector.push_back(const_cast<char*>(argument.c_str()));
    argumentVector.push_back(nullptr);

    SpawnDescriptors const descriptors(input, output, error);
    SpawnAttributes const attributes;
    pid_t process = 0;
    int const failure = ::posix_spawnp(&process, argumentVector.front(), descriptors.get(), attributes.get(),
        argumentVector.data(), environ);
    if (failure != 0)
        throwSystemError(failure, fmt::format("cannot start {}", arguments.front()));
    return process;
}

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
