// tavvo's commands over the shared library: the snapshot's and the
// language override's.
#pragma once

#include "GlobalOptions.hpp"

#include "Platform/CommandLine/Program.hpp"

#include <stdexcept>

namespace TavvoTools {

// An input file named on the command line is not there.
class InputMissingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Declares `snapshot normalize|write|read|path` on `program`, on the store
// `global` selects; both must outlive the run. An input file that is not
// there throws InputMissingError, the store and the decoder their errors.
void addSnapshotCommands(CommandLine::Program& program, const GlobalOptions& global);

// Declares `language get|set|clear|resolved|list` on `program`; they
// refuse --app-group. Both must outlive the run.
void addLanguageCommands(CommandLine::Program& program, const GlobalOptions& global);

}
