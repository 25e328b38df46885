#include "Platform/Foundation/ChildProcess.hpp"

#include <fmt/format.h>
#include <gio/gio.h>

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
#include <unistd.h>

namespace Foundation {

namespace {

using Clock = ChildProcess::Clock;

// Bytes moved per read: large enough that a big output costs few calls.
constexpr std::size_t chunkSize = 64 * 1024;

[[noreturn]] void throwSystemError(int code, const std::string& message)
{
    throw std::system_error(code, std::generic_category(), message);
}

// The parent's end of one pipe; closed once, whoever closes it.
class PipeEnd {
public:
    PipeEnd() = default;
    explicit PipeEnd(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    PipeEnd(const PipeEnd&) = delete;
    PipeEnd& operator=(const PipeEnd&) = delete;
    ~PipeEnd() { close(); }

    int descriptor() const { return m_descriptor; }
    bool isOpen() const { return m_descriptor >= 0; }
    void adopt(int descriptor)
    {
        close();
        m_descriptor = descriptor;
    }
    // Hands the descriptor to a new owner.
    int release() { return std::exchange(m_descriptor, -1); }
    void close()
    {
        if (m_descriptor >= 0)
            ::close(std::exchange(m_descriptor, -1));
    }

private:
    int m_descriptor = -1;
};

// A pipe whose ends close on exec, so that no other child started meanwhile
// inherits them and keeps the pipe open past this one's end.
std::pair<int, int> newPipe()
{
    std::array<int, 2> ends {};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0)
        throwSystemError(errno, "cannot create a pipe");
    return { ends[0], ends[1] };
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

// GLib reports a failed start as a spawn error code; callers branch on errno.
int errnoOfSpawnError(const GError* error)
{
    if (error->domain != G_SPAWN_ERROR)
        return EIO;
    switch (error->code) {
    case G_SPAWN_ERROR_NOENT:
        return ENOENT;
    case G_SPAWN_ERROR_ACCES:
        return EACCES;
    case G_SPAWN_ERROR_PERM:
        return EPERM;
    case G_SPAWN_ERROR_NOEXEC:
        return ENOEXEC;
    case G_SPAWN_ERROR_ISDIR:
        return EISDIR;
    case G_SPAWN_ERROR_NOMEM:
        return ENOMEM;
    case G_SPAWN_ERROR_TOO_BIG:
        return E2BIG;
    default:
        return EIO;
    }
}

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// GLib reaps its children itself (a child watch on its worker thread), so
// the end of one is learnt from GLib and never from waitpid, which would
// race with it. The wait runs on a private main context, beside a timer
// for the deadline, so that no other part of the program is dispatched.
ProcessEnd waitForEnd(GSubprocess* process, Clock::time_point deadline)
{
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);

    bool ended = false;
    g_subprocess_wait_async(
        process, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer flag) {
            g_subprocess_wait_finish(G_SUBPROCESS(source), result, nullptr);
            *static_cast<bool*>(flag) = true;
        },
        &ended);

    bool expired = false;
    auto const timerMilliseconds = std::min<long long>(millisecondsUntil(deadline), G_MAXUINT);
    GSource* timer = g_timeout_source_new(static_cast<guint>(timerMilliseconds));
    g_source_set_callback(
        timer,
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &expired, nullptr);
    g_source_attach(timer, context);

    while (!ended && !expired)
        g_main_context_iteration(context, TRUE);
    bool const killed = !ended;
    if (killed) {
        g_subprocess_force_exit(process);
        while (!ended)
            g_main_context_iteration(context, TRUE);
    }

    g_source_destroy(timer);
    g_source_unref(timer);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);

    ProcessEnd end;
    end.timedOut = killed;
    if (g_subprocess_get_if_exited(process))
        end.exitStatus = g_subprocess_get_exit_status(process);
    return end;
}

}

struct ChildProcess::State {
    std::string program;
    std::unique_ptr<GSubprocess, ObjectUnref> process;
    PipeEnd input;
    PipeEnd output;
    // Output read past the last line handed out.
    std::string pending;
    bool outputEnded = false;
    bool finished = false;
};

ChildProcess::ChildProcess(const std::vector<std::string>& arguments)
    : m_state(std::make_unique<State>())
{
    if (arguments.empty())
        throwSystemError(EINVAL, "cannot start a program without a name");
    m_state->program = arguments.front();

    auto [inputReader, inputWriter] = newPipe();
    m_state->input.adopt(inputWriter);
    PipeEnd inputForChild(inputReader);
    auto [outputReader, outputWriter] = newPipe();
    m_state->output.adopt(outputReader);
    PipeEnd outputForChild(outputWriter);
    makeNonBlocking(m_state->input.descriptor());
    makeNonBlocking(m_state->output.descriptor());

    std::vector<const char*> argumentVector;
    for (auto const& argument : arguments)
        argumentVector.push_back(argument.c_str());
    argumentVector.push_back(nullptr);

    // The launcher takes over the child's ends and closes them when it goes,
    // so that this process keeps only its own ends and sees the output end
    // when the child closes it.
    std::unique_ptr<GSubprocessLauncher, ObjectUnref> launcher(g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_NONE));
    g_subprocess_launcher_take_stdin_fd(launcher.get(), inputForChild.release());
    g_subprocess_launcher_take_stdout_fd(launcher.get(), outputForChild.release());
    GError* error = nullptr;
    m_state->process.reset(g_subprocess_launcher_spawnv(launcher.get(), argumentVector.data(), &error));
    launcher.reset();
    if (!m_state->process) {
        int const code = errnoOfSpawnError(error);
        g_error_free(error);
        throwSystemError(code, fmt::format("cannot start {}", m_state->program));
    }
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
    if (m_state->process && !m_state->finished) {
        m_state->input.close();
        m_state->output.close();
        g_subprocess_force_exit(m_state->process.get());
        g_subprocess_wait(m_state->process.get(), nullptr, nullptr);
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
    m_state->finished = true;
    return waitForEnd(m_state->process.get(), deadline);
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
