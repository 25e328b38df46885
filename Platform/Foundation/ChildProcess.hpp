// ChildProcess: a program started with its standard input and output as
// pipes, and input and output on them that never waits past a deadline.
//
//   Foundation::ChildProcess child({ "cat" });
//   auto const deadline = ChildProcess::deadlineAfter(1s);
//   child.writeAll("hello\n", deadline);
//   assert(child.readLine(1024, deadline) == "hello");
//   assert(child.finish(deadline).exitStatus == 0);
//
// Failures are std::system_error carrying errno and a short lowercase
// message naming the program ("cannot write to cat").
//
// Each child is waited for by its process id, by this class alone, so a
// program using it must not reap children of its own accord: no
// waitpid(-1, …), SIGCHLD not ignored.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Foundation {

// How a child ended.
struct ProcessEnd {
    // Its exit status; nothing when it was killed or ended by a signal.
    std::optional<int> exitStatus;
    // Whether it was still running at the deadline and had to be killed.
    bool timedOut = false;

    friend bool operator==(const ProcessEnd&, const ProcessEnd&) = default;
};

struct ProcessOutcome {
    // Nothing when the child was killed at the deadline or ended by a signal.
    std::optional<int> exitStatus;
    // At most the maximum asked for; what came before the deadline.
    std::string output;
    // Whether the deadline passed before the child ended.
    bool timedOut = false;
};

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    // The instant `timeout` from now (now itself for none or a negative
    // one); a timeout too long for the clock's range gives its last
    // instant instead of overflowing.
    static Clock::time_point deadlineAfter(std::chrono::milliseconds timeout);

    // Starts arguments[0], searched on PATH unless it holds a slash, with
    // `arguments` as its argument vector. Its standard input and output are
    // pipes to this object; its standard error is ours; it inherits no
    // other descriptor. Throws std::system_error when it cannot start
    // (no arguments, no such program, not executable).
    explicit ChildProcess(const std::vector<std::string>& arguments);

    // A child still running is killed and reaped: none outlives its object
    // or stays behind as a zombie.
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Writes every byte to the child's input. Throws std::system_error with
    // ETIMEDOUT when the child has not taken them all by the deadline, and
    // with EPIPE when it no longer reads its input (it closed it or ended);
    // this process is never killed by SIGPIPE for it.
    void writeAll(std::string_view bytes, Clock::time_point deadline);

    // The next line of the child's output, without its newline; a last
    // line without one is returned as it is; nothing once the output has
    // ended. Throws std::system_error with ETIMEDOUT when no whole line
    // came by the deadline (what did come is kept for the next call), and
    // with EMSGSIZE when the line is longer than `maximumLength` bytes
    // (which is never held in memory much beyond that length).
    std::optional<std::string> readLine(std::size_t maximumLength, Clock::time_point deadline);

    // Ends the child's input, so that a program reading it to the end can
    // finish. Closing it twice does nothing.
    void closeInput();

    // Closes both pipes and waits for the child to end; one still running
    // at the deadline is killed (SIGKILL) and reaped. Called once; the
    // other members may not be used afterwards.
    ProcessEnd finish(Clock::time_point deadline);

private:
    struct State;
    std::unique_ptr<State> m_state;

    // Writes `input` while reading up to `maximumOutput` bytes into `output`,
    // until the output ends or is full; false when the deadline came first.
    bool exchange(std::string_view input, std::size_t maximumOutput, Clock::time_point deadline, std::string& output);

    friend ProcessOutcome runToCompletion(const std::vector<std::string>&, std::string_view,
        std::chrono::milliseconds, std::size_t);
};

// Runs a program to its end: writes `input` to it while reading its output,
// then waits for it, all within `timeout`. A child that stops reading its
// input early (exits without it, say) is no failure: the rest of the input
// is dropped. Once `maximumOutput` bytes have come, the output is closed (a
// child still writing then gets SIGPIPE, as under `head`). Its standard
// error is ours. Throws std::system_error when the program cannot start.
ProcessOutcome runToCompletion(const std::vector<std::string>& arguments, std::string_view input,
    std::chrono::milliseconds timeout, std::size_t maximumOutput);

}
