// SecureShellCommand: how `tavvo observations` is run on another machine
// through the user's own ssh, and what the way it ended says.
#pragma once

#include "Platform/Foundation/ChildProcess.hpp"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace TavvoHost {

struct RemoteCommand {
    // The ssh program here: a name searched on PATH, or a path.
    std::string sshProgram = "ssh";
    // The tavvo program there. A session without a terminal often lacks
    // ~/.local/bin on its PATH, so the user may have to name it.
    std::string remoteProgram = "tavvo";

    friend bool operator==(const RemoteCommand&, const RemoteCommand&) = default;
};

enum class ObservationsMode {
    once, // one document, then the remote program ends
    watch, // a document at start and one after each change, until ended
};

// How long ssh may take to reach a machine before it gives up.
inline constexpr std::chrono::seconds connectionTimeout { 10 };

// The argument vector that runs the remote program's `observations` on
// `host` (a name refusedRemoteHost lets through): nothing that prompts,
// no terminal, a connection that gives up when unreachable or silent. The
// remote program is quoted for the remote shell.
std::vector<std::string> secureShellArguments(const RemoteCommand& command, const std::string& host, ObservationsMode mode);

// `text` as one word for a POSIX shell.
std::string shellQuoted(std::string_view text);

// Why the remote program gave no document, one line, from how ssh ended
// and the last line it wrote to its standard error.
std::string endedStreamReason(const Foundation::ProcessEnd& end, std::string_view lastErrorLine, const RemoteCommand& command);

}
