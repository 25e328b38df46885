// The commands of tavvo and their help texts.
#pragma once

#include "CommandLine.hpp"

#include <stdexcept>

// An input file named on the command line is not there.
class InputMissingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs the command the line names, printing its result on standard output.
// Failures are thrown: UsageError, InputMissingError, the store's and the
// decoder's errors, std::system_error.
ExitStatus runCommand(const CommandLine& line);
