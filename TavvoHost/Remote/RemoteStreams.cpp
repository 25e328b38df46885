#include "TavvoHost/Remote/RemoteStreams.hpp"

#include "Platform/Foundation/LineStreamChild.hpp"
#include "TavvoHost/Remote/RemoteProblem.hpp"

#include <algorithm>
#include <system_error>
#include <utility>

namespace TavvoHost {

struct RemoteStreams::Stream {
    std::string host;
    // Nothing while it waits to start again.
    std::unique_ptr<Foundation::LineStreamChild> child;
    std::optional<MachineObservations> latest;
    std::optional<std::string> problem;
    // Nothing: start at the first chance.
    std::optional<Foundation::Date> startAt;
    std::chrono::seconds restartDelay = firstRestartDelay;

    // Whether this run of the stream sent a line that was refused.
    bool refusedALine = false;

    // The stream ended or cannot start: it is started again later, each
    // time later still. A line refused in this run says more than the end
    // that followed it, and stays the problem.
    void stop(Foundation::Date now, const std::string& reason)
    {
        child.reset();
        if (!refusedALine)
            problem = remoteProblem(host, reason);
        startAt = now + restartDelay;
        restartDelay = std::min(restartDelay * 2, longestRestartDelay);
    }
};

RemoteStreams::RemoteStreams(const std::vector<std::string>& hosts, RemoteCommand command)
    : m_command(std::move(command))
{
    for (auto const& host : hosts)
        m_streams.push_back({ host, nullptr, std::nullopt, std::nullopt, std::nullopt, firstRestartDelay, false });
}

RemoteStreams::~RemoteStreams() = default;

void RemoteStreams::startDue(Foundation::Date now)
{
    for (auto& stream : m_streams) {
        if (stream.child || (stream.startAt && *stream.startAt > now))
            continue;
        try {
            stream.child = std::make_unique<Foundation::LineStreamChild>(
                secureShellArguments(m_command, stream.host, ObservationsMode::watch), longestMachineObservationsLine);
            stream.startAt.reset();
            stream.refusedALine = false;
        } catch (const std::system_error& error) {
            stream.stop(now, error.what());
        }
    }
}

std::optional<Foundation::Date> RemoteStreams::nextStartAt() const
{
    std::optional<Foundation::Date> next;
    for (auto const& stream : m_streams) {
        if (!stream.child && stream.startAt && (!next || *stream.startAt < *next))
            next = stream.startAt;
    }
    return next;
}

std::vector<int> RemoteStreams::descriptors() const
{
    std::vector<int> all;
    for (auto const& stream : m_streams) {
        if (stream.child) {
            auto const own = stream.child->descriptors();
            all.insert(all.end(), own.begin(), own.end());
        }
    }
    return all;
}

bool RemoteStreams::read(Foundation::Date now)
{
    bool changed = false;
    for (auto& stream : m_streams) {
        if (!stream.child)
            continue;
        auto const before = stream.problem;
        auto const arrived = stream.child->readLines();
        if (arrived.droppedLines > 0) {
            stream.problem = remoteProblem(stream.host, overlongLineReason());
            stream.refusedALine = true;
        }
        for (auto const& line : arrived.lines) {
            auto decoded = decodeMachineObservations(line, now);
            if (auto* const document = std::get_if<MachineObservations>(&decoded)) {
                changed = changed || stream.latest != *document;
                stream.latest = std::move(*document);
                stream.problem.reset();
                stream.restartDelay = firstRestartDelay;
            } else {
                stream.problem = remoteProblem(stream.host, refusedDocumentReason(std::get<std::string>(decoded)));
                stream.refusedALine = true;
            }
        }
        if (stream.child->outputEnded()) {
            auto const end = stream.child->finish(Foundation::ChildProcess::deadlineAfter(Foundation::LineStreamChild::endingGrace));
            stream.stop(now, endedStreamReason(end, stream.child->lastErrorLine(), m_command));
        }
        changed = changed || stream.problem != before;
    }
    return changed;
}

std::vector<MachineObservations> RemoteStreams::observations() const
{
    std::vector<MachineObservations> all;
    for (auto const& stream : m_streams) {
        if (stream.latest)
            all.push_back(*stream.latest);
    }
    return all;
}

std::vector<std::string> RemoteStreams::problems() const
{
    std::vector<std::string> all;
    for (auto const& stream : m_streams) {
        if (stream.problem)
            all.push_back(*stream.problem);
    }
    return all;
}

}
