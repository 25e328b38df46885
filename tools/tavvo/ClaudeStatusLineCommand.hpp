// `tavvo claude-statusline`: the command a user sets as Claude Code's
// status line. It records the limit windows Claude Code reports for the
// collector and prints the line Claude Code shows.
#pragma once

#include "Platform/CommandLine/Program.hpp"

namespace TavvoTools {

void addClaudeStatusLineCommand(CommandLine::Program& program);

}
