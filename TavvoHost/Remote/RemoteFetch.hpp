// RemoteFetch: one document from each remote machine, all asked at once,
// for a single collect.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Remote/MachineObservations.hpp"
#include "TavvoHost/Remote/SecureShellCommand.hpp"

#include <chrono>
#include <string>
#include <vector>

namespace TavvoHost {

// ssh's connection timeout and the time a remote pass takes: a machine
// that has not answered by then is not waited for.
inline constexpr std::chrono::seconds remoteFetchDeadline = connectionTimeout + std::chrono::seconds(10);

struct RemoteObservations {
    // What the machines that answered observed, in the order of `hosts`.
    std::vector<MachineObservations> machines;
    // One line for each machine that did not answer with a document it may
    // send, "remote HOST: why".
    std::vector<std::string> problems;
};

// Runs `observations` on every host at the same time and takes the first
// line each sends, decoded as of `now`; a machine that has not sent one
// within `deadline` is ended and reported.
RemoteObservations fetchRemoteObservations(const std::vector<std::string>& hosts, const RemoteCommand& command,
    Foundation::Date now, std::chrono::milliseconds deadline = remoteFetchDeadline);

}
