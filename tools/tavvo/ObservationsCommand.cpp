#include "ObservationsCommand.hpp"

#include "ProblemReport.hpp"
#include "SourcesOptions.hpp"

#include "Platform/Foundation/StandardOutput.hpp"
#include "Platform/Foundation/TerminationSignals.hpp"
#include "Platform/Foundation/WatchedPasses.hpp"
#include "TavvoHost/Collector/Collector.hpp"
#include "TavvoHost/Remote/MachineObservations.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"

#include <system_error>
#include <unistd.h>

namespace TavvoTools {

namespace {

using CommandLine::ExitStatus;

struct Settings {
    bool watch = false;
    SourcesOptions sources;
};

// The reader of standard output went away: the machine that asked has
// stopped listening, which ends the run as it wanted.
struct OutputClosed { };

// The whole line in one go: the reader takes only whole lines.
void print(const TavvoHost::MachineObservations& observations)
{
    auto const error = Foundation::writeStandardOutput(TavvoHost::encodeMachineObservations(observations) + "\n");
    if (error == std::errc::broken_pipe)
        throw OutputClosed();
    if (error)
        throw std::system_error(error, "cannot write the observations");
}

ExitStatus observe(const Settings& settings)
{
    Foundation::failWritesToClosedPipes();
    // The freshness of what is sent is the receiver's to judge, and the
    // receiver's to refresh: the sender never asks the app server.
    TavvoHost::Collector collector(collectorOptions(settings.sources,
        std::chrono::seconds(static_cast<std::chrono::seconds::rep>(TavvoFreshnessPolicy::defaultTTL)), std::nullopt));
    ProblemReport problems;
    try {
        if (!settings.watch) {
            auto const pass = collector.observe(Foundation::currentDate());
            problems.report(pass.problems);
            print(pass.observations);
            return ExitStatus::success;
        }
        std::optional<TavvoHost::MachineObservations> last;
        Foundation::runWatchedPasses({
            .pass =
                [&](Foundation::Date now) {
                    auto pass = collector.observe(now);
                    problems.report(pass.problems);
                    // Only a change is news: the instant of the pass alone is not.
                    if (last && last->codex == pass.observations.codex && last->claude == pass.observations.claude)
                        return;
                    print(pass.observations);
                    last = std::move(pass.observations);
                },
            .watchedFolders = [&] { return collector.watchedFolders(); },
            .nextTimedPassAt = [](Foundation::Date) { return std::optional<Foundation::Date>(); },
            .endsWhenClosed = STDOUT_FILENO,
        });
    } catch (const OutputClosed&) {
    }
    return ExitStatus::success;
}

}

void addObservationsCommand(CommandLine::Program& program)
{
    auto [command, settings] = program.command({ "observations" },
        "Print what Codex and Claude Code keep on this machine as one line of JSON, for `tavvo collect\n"
        "--remote` on another machine to merge; nothing is stored.",
        Settings {}, [](const Settings& chosen) { return observe(chosen); });
    command.add_flag("--watch", settings.watch,
        "keep running: print a new line whenever what was observed changes; SIGTERM, SIGINT or a closed pipe end it with status 0");
    settings.sources.declare(command);
}

}
