// UsageError: a mistake in how a program was called, found by a command
// after the line parsed. The program exits with ExitStatus::usage and
// points at its help.
#pragma once

#include <stdexcept>

namespace CommandLine {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}
