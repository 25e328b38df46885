// LineStreamChild: a program left running beside other work, whose output
// is taken line by line as it comes.
//
//   Foundation::LineStreamChild child({ "sh", "-c", "echo one; echo two" }, 1024);
//   poll on child.descriptors() for reading, then:
//   auto const arrived = child.readLines(); // { "one", "two" }, or fewer so far
//   once child.outputEnded(): child.finish(deadline).exitStatus == 0
//
// Memory stays bounded whatever the program writes: a line longer than the
// maximum is dropped up to its newline, never held whole, and of its
// standard error only the last few kilobytes are kept.
//
// As with ChildProcess, each child is waited for by its process id, by this
// class alone.
#pragma once

#include "Platform/Foundation/ChildProcess.hpp"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Foundation {

// What a read found.
struct StreamedLines {
    // The whole lines, without their newlines, in the order written.
    std::vector<std::string> lines;
    // How many lines longer than the maximum were dropped.
    std::size_t droppedLines = 0;

    friend bool operator==(const StreamedLines&, const StreamedLines&) = default;
};

class LineStreamChild {
public:
    using Clock = std::chrono::steady_clock;

    // How long a child asked to end (SIGTERM) may take before it is killed.
    static constexpr std::chrono::milliseconds endingGrace { 1000 };

    // Starts arguments[0], searched on PATH unless it holds a slash, with
    // `arguments` as its argument vector, its standard input /dev/null and
    // its standard output and error read by this object. Lines longer than
    // `longestLine` bytes are dropped. Throws std::system_error when it
    // cannot start.
    LineStreamChild(const std::vector<std::string>& arguments, std::size_t longestLine);

    // A child still running is asked to end (SIGTERM), killed after
    // `endingGrace` if it has not, and reaped.
    ~LineStreamChild();

    LineStreamChild(const LineStreamChild&) = delete;
    LineStreamChild& operator=(const LineStreamChild&) = delete;

    // What to poll for reading: the output and the error stream, those
    // still open. Either turning readable calls for readLines().
    std::vector<int> descriptors() const;

    // The whole lines that arrived since the last call, without waiting
    // for more. A last piece without a newline at the end of the output is
    // no whole line and is dropped.
    StreamedLines readLines();

    // Whether the output has ended: no line will come any more.
    bool outputEnded() const;

    // Closes the output, reads the rest of the error stream, and waits for
    // the child to end; one still running at the deadline is killed
    // (SIGKILL) and reaped. Called once.
    ProcessEnd finish(Clock::time_point deadline);

    // The last line the child wrote to its standard error that holds more
    // than blanks; empty when none.
    std::string lastErrorLine() const;

private:
    struct State;
    std::unique_ptr<State> m_state;

    void readErrors();
};

}
