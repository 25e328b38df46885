// The process's standard output, written without a buffer in between.
#pragma once

#include <string_view>
#include <system_error>

namespace Foundation {

// Writes all of `text` to standard output now, however many writes the
// pipe takes, so that a reader going line by line never sees half a line
// followed by a pause. The error that stopped it, if any; a reader that went
// away shows as broken_pipe only when SIGPIPE is ignored, as it must be for
// a program that wants to end cleanly then.
std::error_code writeStandardOutput(std::string_view text);

}
