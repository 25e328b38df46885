// `tavvo observations`: what this machine's sources yield, as the document
// another machine's `tavvo collect` merges with its own, once or kept
// current.
#pragma once

#include "Platform/CommandLine/Program.hpp"

namespace TavvoTools {

// Declares `observations` on `program`, which must outlive the run.
void addObservationsCommand(CommandLine::Program& program);

}
