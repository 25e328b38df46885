// The parts every child process of ours is built from: descriptors owned
// once, close-on-exec pipes, waits with a deadline, reads that never block,
// and a start with posix_spawn that hands the child only the descriptors
// named. Shared by ChildProcess and LineStreamChild; not for use elsewhere.
#pragma once

#include "Platform/Foundation/ChildProcess.hpp"

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/types.h>

namespace Foundation::ChildProcessParts {

using Clock = std::chrono::steady_clock;

// Bytes moved per read: large enough that a big output costs few calls.
inline constexpr std::size_t chunkSize = 64 * 1024;

[[noreturn]] void throwSystemError(int code, const std::string& message);

// One open descriptor (an end of a pipe, a process's); closed once,
// whoever closes it.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int descriptor);
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor();

    int descriptor() const { return m_descriptor; }
    bool isOpen() const { return m_descriptor >= 0; }
    void adopt(int descriptor);
    void close();

private:
    int m_descriptor = -1;
};

// A pipe whose ends close on exec, so that no other child started meanwhile
// inherits them and keeps the pipe open past this one's end. Both ends lie
// above standard error.
void openPipe(Descriptor& reader, Descriptor& writer);

// /dev/null opened for reading, close-on-exec, above standard error: the
// input of a child that is given none.
void openNullInput(Descriptor& input);

// The parent never waits inside read or write: poll says when a call will
// make progress, and a non-blocking end makes sure it returns at once.
void makeNonBlocking(int descriptor);

// Waits until one of `descriptors` is ready or the deadline passes; false
// at the deadline. A signal handled meanwhile only shortens the wait.
bool pollUntil(std::span<pollfd> descriptors, Clock::time_point deadline);

// Reads at most `limit` bytes onto `buffer`; false at the end of the output.
// Nothing to read yet is no end: `buffer` just stays as it was.
bool readSome(int descriptor, std::string& buffer, std::size_t limit, const std::string& program);

// Starts arguments[0], searched on PATH unless it holds a slash, with
// `input` and `output` as its standard input and output, `error` as its
// standard error (nothing: ours), no other descriptor, no blocked signal
// and SIGPIPE at its default action. Throws std::system_error when it
// cannot start.
pid_t spawnProgram(const std::vector<std::string>& arguments, int input, int output, std::optional<int> error);

// Waits until `process`, a child of ours, has ended, and reaps it; its
// status as waitpid gives it.
int reap(pid_t process, const std::string& program);

// Waits for `process` to end until the deadline, then kills it (SIGKILL)
// if it has not, and reaps it.
ProcessEnd waitForEnd(pid_t process, const std::string& program, Clock::time_point deadline);

}
