// `tavvo collect`: the snapshot from what Codex and Claude Code keep on
// this machine, once or kept current.
#pragma once

#include "GlobalOptions.hpp"

#include "Platform/CommandLine/Program.hpp"

namespace TavvoTools {

// Declares `collect` on `program`, writing to the store `global` selects;
// both must outlive the run.
void addCollectCommand(CommandLine::Program& program, const GlobalOptions& global);

}
