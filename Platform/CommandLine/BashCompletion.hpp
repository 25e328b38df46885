// BashCompletion: a program's completion for bash, generated from its own
// declarations: its commands and groups, the options of each and the
// global ones, and what each option's and operand's value offers
// (ValueCompletion). A program prints it with `PROGRAM completion bash`;
// bash-completion loads it by the program's name from
// share/bash-completion/completions, or `source <(PROGRAM completion bash)`
// loads it by hand.
#pragma once

#include "Platform/CommandLine/Program.hpp"

#include <CLI/CLI.hpp>

#include <string>

namespace CommandLine {

// The script for the program whose own level is `program`. Global options
// are completed before and after the command; "--" before a command-line
// operand hands the rest of the line to that command's completion.
std::string bashCompletion(CLI::App& program);

// Declares `completion bash` on `program`, which prints the program's
// script. Declare it last: it completes what was declared by the run.
void addCompletionCommand(Program& program);

}
