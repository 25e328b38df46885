// ExitStatus: what a command-line program's status tells its caller. Each
// program documents the ones it uses.
#pragma once

namespace CommandLine {

enum class ExitStatus : int {
    success = 0,
    failure = 1,
    usage = 2,
    nothingToShow = 3,
    notAValidDocument = 65,
    inputMissing = 66,
};

}
