// RemoteStreams: a long-lived `observations --watch` on each remote
// machine, for a collector that keeps running: the latest document each
// sent, and a stream that ends started again after a growing delay.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Remote/MachineObservations.hpp"
#include "TavvoHost/Remote/SecureShellCommand.hpp"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Foundation {
class LineStreamChild;
}

namespace TavvoHost {

// A stream that ends is started again after the first delay, doubled at
// each failure up to the last, and back to the first after a document.
inline constexpr std::chrono::seconds firstRestartDelay { 1 };
inline constexpr std::chrono::seconds longestRestartDelay { 5 * 60 };

class RemoteStreams {
public:
    RemoteStreams(const std::vector<std::string>& hosts, RemoteCommand command);
    ~RemoteStreams();
    RemoteStreams(const RemoteStreams&) = delete;
    RemoteStreams& operator=(const RemoteStreams&) = delete;

    // Starts the streams not running whose time has come: all of them the
    // first time.
    void startDue(Foundation::Date now);

    // When the next stream is due to start again; nothing when all run.
    std::optional<Foundation::Date> nextStartAt() const;

    // The descriptors to wait on for reading.
    std::vector<int> descriptors() const;

    // Takes what arrived on every stream, without waiting; documents are
    // decoded as of `now`. True when that changes what the next pass sees:
    // a new document, or a problem that came or went.
    bool read(Foundation::Date now);

    // The latest document of each machine that sent one, kept after its
    // stream ended: it carries its own instants, and ages out as any
    // observation does.
    std::vector<MachineObservations> observations() const;

    // Why each machine's latest document may be out of date, one line
    // each, "remote HOST: why"; a machine's line stays until it sends a
    // document again, so that a cause is reported once.
    std::vector<std::string> problems() const;

private:
    struct Stream;
    std::vector<Stream> m_streams;
    RemoteCommand m_command;
};

}
