// The commands of tavvo, declared on the shared command-line layer.
#pragma once

#include "Platform/CommandLine/Program.hpp"

#include <span>
#include <stdexcept>
#include <string>

// An input file named on the command line is not there.
class InputMissingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs the command `arguments` name, printing its result on standard
// output, and returns the exit status. Failures the commands throw beyond
// usage errors (InputMissingError, the store's and the decoder's errors,
// std::system_error) are mapped by `failureOf`.
int runTavvoCommandLine(std::span<const std::string> arguments, const CommandLine::Program::FailureMapping& failureOf);
