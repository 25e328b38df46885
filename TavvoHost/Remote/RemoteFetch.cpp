#include "TavvoHost/Remote/RemoteFetch.hpp"

#include "Platform/Foundation/LineStreamChild.hpp"
#include "TavvoHost/Remote/RemoteProblem.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <system_error>

#include <poll.h>

namespace TavvoHost {

namespace {

using Clock = Foundation::LineStreamChild::Clock;

// One machine asked: its ssh while it runs, then what it answered.
struct Asked {
    std::string host;
    std::unique_ptr<Foundation::LineStreamChild> child;
    std::variant<std::monostate, MachineObservations, std::string> answer;

    bool answered() const { return !std::holds_alternative<std::monostate>(answer); }
};

// What has arrived from `asked`: its document, or why there will be none.
void takeArrivals(Asked& asked, const RemoteCommand& command, Foundation::Date now, Clock::time_point deadline)
{
    auto const arrived = asked.child->readLines();
    if (!arrived.lines.empty()) {
        auto decoded = decodeMachineObservations(arrived.lines.front(), now);
        if (auto* const document = std::get_if<MachineObservations>(&decoded))
            asked.answer = std::move(*document);
        else
            asked.answer = refusedDocumentReason(std::get<std::string>(decoded));
    } else if (arrived.droppedLines > 0) {
        asked.answer = overlongLineReason();
    } else if (asked.child->outputEnded()) {
        auto const end = asked.child->finish(std::min(deadline, Foundation::ChildProcess::deadlineAfter(Foundation::LineStreamChild::endingGrace)));
        asked.answer = endedStreamReason(end, asked.child->lastErrorLine(), command);
    }
    if (asked.answered())
        asked.child.reset();
}

}

RemoteObservations fetchRemoteObservations(const std::vector<std::string>& hosts, const RemoteCommand& command,
    Foundation::Date now, std::chrono::milliseconds deadline)
{
    auto const end = Foundation::ChildProcess::deadlineAfter(deadline);
    std::vector<Asked> machines;
    for (auto const& host : hosts) {
        Asked asked { host, nullptr, std::monostate {} };
        try {
            asked.child = std::make_unique<Foundation::LineStreamChild>(
                secureShellArguments(command, host, ObservationsMode::once), longestMachineObservationsLine);
        } catch (const std::system_error& error) {
            asked.answer = std::string(error.what());
        }
        machines.push_back(std::move(asked));
    }
    for (;;) {
        std::vector<pollfd> ready;
        std::vector<Asked*> owners;
        for (auto& asked : machines) {
            if (asked.answered())
                continue;
            for (int const descriptor : asked.child->descriptors()) {
                ready.push_back({ descriptor, POLLIN, 0 });
                owners.push_back(&asked);
            }
        }
        auto const left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
        if (ready.empty() || left <= 0)
            break;
        if (::poll(ready.data(), ready.size(), static_cast<int>(std::min<long long>(left, 60'000))) < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "cannot wait for the remote machines");
        }
        for (std::size_t index = 0; index < ready.size(); ++index) {
            if (ready[index].revents != 0 && !owners[index]->answered())
                takeArrivals(*owners[index], command, now, end);
        }
    }

    RemoteObservations observations;
    for (auto& asked : machines) {
        if (auto* const document = std::get_if<MachineObservations>(&asked.answer))
            observations.machines.push_back(std::move(*document));
        else if (auto* const reason = std::get_if<std::string>(&asked.answer))
            observations.problems.push_back(remoteProblem(asked.host, *reason));
        else
            observations.problems.push_back(remoteProblem(asked.host,
                fmt::format("no answer within {} s", std::chrono::ceil<std::chrono::seconds>(deadline).count())));
    }
    return observations;
}

}
