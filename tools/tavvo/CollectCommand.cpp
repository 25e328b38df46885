#include "CollectCommand.hpp"

#include "ProblemReport.hpp"
#include "SourcesOptions.hpp"

#include "Platform/CommandLine/OptionValidators.hpp"
#include "TavvoHost/Collector/Collector.hpp"
#include "Platform/Foundation/WatchedPasses.hpp"
#include "TavvoHost/Collector/SnapshotPublication.hpp"
#include "TavvoHost/Remote/RemoteFetch.hpp"
#include "TavvoHost/Remote/RemoteHosts.hpp"
#include "TavvoHost/Remote/RemoteStreams.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <string>

namespace TavvoTools {

namespace {

using CommandLine::ExitStatus;

struct Settings {
    bool print = false;
    bool watch = false;
    bool refreshCodex = false;
    SourcesOptions sources;
    std::string codexProgram = "codex";
    std::chrono::seconds ttl { static_cast<std::chrono::seconds::rep>(TavvoFreshnessPolicy::defaultTTL) };
    std::vector<std::string> remotes; // beside those of the remotes file
    TavvoHost::RemoteCommand remoteCommand;
};

// The machines named on the command line, then those of the remotes file,
// each once; and the file's lines that were refused.
TavvoHost::RemoteHostList remoteHosts(const Settings& settings)
{
    TavvoHost::RemoteHostList listed;
    if (auto const file = TavvoHost::remotesFilePath())
        listed = TavvoHost::readRemotesFile(*file);
    listed.hosts = TavvoHost::joinedRemoteHosts(settings.remotes, listed.hosts);
    return listed;
}

// Where each pass goes: standard output when printing, else the store,
// and in both cases only when the content changed (the first pass always
// goes). Problems go to standard error when they first appear.
class PassPublisher {
public:
    PassPublisher(const GlobalOptions& global, bool print, std::chrono::seconds ttl)
        : m_ttl(ttl)
    {
        if (!print)
            m_store.emplace(makeStore(global));
    }

    void publish(const TavvoHost::CollectorPass& pass)
    {
        m_problems.report(pass.problems);
        if (m_store) {
            m_published = TavvoHost::publishIfChanged(*m_store, pass.snapshot, m_ttl);
            return;
        }
        auto settled = TavvoHost::keepingRecentChecks(pass.snapshot, m_published, m_ttl);
        if (!TavvoHost::differsInContent(settled, m_published))
            return;
        fmt::print("{}\n", TavvoWidgetJSONEncoder::tavvoWidget().encode(settled));
        std::fflush(stdout);
        m_published = std::move(settled);
    }

    // When the published document needs a pass for time alone: a check
    // time about to age out of its fresh window.
    std::optional<Foundation::Date> renewalDue() const
    {
        return m_published ? TavvoHost::checkRenewalDue(*m_published, m_ttl) : std::nullopt;
    }

private:
    std::chrono::seconds m_ttl;
    std::optional<TavvoWidgetSnapshotStore> m_store;
    std::optional<TavvoWidgetSnapshot> m_published;
    ProblemReport m_problems;
};

std::optional<Foundation::Date> earliest(std::optional<Foundation::Date> left, std::optional<Foundation::Date> right)
{
    if (!left || !right)
        return left ? left : right;
    return std::min(*left, *right);
}

ExitStatus collect(const GlobalOptions& global, const Settings& settings)
{
    PassPublisher publisher(global, settings.print, settings.ttl);
    TavvoHost::Collector collector(
        collectorOptions(settings.sources, settings.ttl, settings.refreshCodex ? std::optional(settings.codexProgram) : std::nullopt));
    auto const remotes = remoteHosts(settings);
    auto const withProblems = [&](TavvoHost::CollectorPass pass, const std::vector<std::string>& remoteProblems) {
        pass.problems.insert(pass.problems.end(), remotes.problems.begin(), remotes.problems.end());
        pass.problems.insert(pass.problems.end(), remoteProblems.begin(), remoteProblems.end());
        return pass;
    };
    if (!settings.watch) {
        TavvoHost::RemoteObservations remote;
        if (!remotes.hosts.empty())
            remote = TavvoHost::fetchRemoteObservations(remotes.hosts, settings.remoteCommand, Foundation::currentDate());
        publisher.publish(withProblems(collector.collect(Foundation::currentDate(), remote.machines), remote.problems));
        return ExitStatus::success;
    }
    TavvoHost::RemoteStreams streams(remotes.hosts, settings.remoteCommand);
    // Kept running as a service: a pass that cannot be published is
    // reported and the next change tries again.
    Foundation::runWatchedPasses({
        .pass =
            [&](Foundation::Date now) {
                try {
                    streams.startDue(now);
                    publisher.publish(withProblems(collector.collect(now, streams.observations()), streams.problems()));
                } catch (const std::exception& error) {
                    fmt::print(stderr, "tavvo: {}\n", error.what());
                }
            },
        .watchedFolders = [&] { return collector.watchedFolders(); },
        .nextTimedPassAt =
            [&](Foundation::Date now) {
                return earliest(earliest(collector.nextTimedPassAt(now), publisher.renewalDue()), streams.nextStartAt());
            },
        .readableDescriptors = [&] { return streams.descriptors(); },
        .readDescriptors = [&] { return streams.read(Foundation::currentDate()); },
    });
    return ExitStatus::success;
}

}

void addCollectCommand(CommandLine::Program& program, const GlobalOptions& global)
{
    auto [command, settings] = program.command({ "collect" },
        "Read what Codex and Claude Code keep on this machine and store the snapshot when it changed.", Settings {},
        [&global](const Settings& chosen) { return collect(global, chosen); });
    command.add_flag("--print", settings.print, "write the document to standard output instead of storing it");
    settings.sources.declare(command);
    // A week is longer than any window lasts between resets.
    constexpr double longestTTL = 7 * 24 * 3600;
    // A fraction of a second counts as a whole one.
    command
        .add_option_function<double>(
            "--ttl", [&settings](double seconds) { settings.ttl = std::chrono::ceil<std::chrono::seconds>(std::chrono::duration<double>(seconds)); },
            "how long an observation counts as fresh (default 900, at most a week)")
        ->type_name("SECONDS")
        ->check(CommandLine::positiveNumber(longestTTL));
    command.add_flag("--watch", settings.watch, "keep running: collect again whenever a source changes (SIGTERM or SIGINT ends it)");
    auto* refresh = command.add_flag("--refresh-codex", settings.refreshCodex,
        "when the newest Codex numbers are older than the ttl, ask `codex app-server` (at most every 5 minutes)");
    command.add_option("--codex-program", settings.codexProgram, "the codex program to run (default: codex on PATH)")
        ->type_name("PATH")
        ->check(CommandLine::completes(CommandLine::ValueKind::programs))
        ->needs(refresh);
    command
        .add_option("--remote", settings.remotes,
            "also collect from HOST over ssh, as ssh names it (repeatable; also read from ~/.config/tavvo/remotes)")
        ->type_name("HOST")
        ->check(CLI::Validator(
            [](std::string& host) { return TavvoHost::refusedRemoteHost(host).value_or(std::string()); }, ""));
    command.add_option("--ssh-program", settings.remoteCommand.sshProgram, "the ssh program to run (default: ssh on PATH)")
        ->type_name("PATH")
        ->check(CommandLine::nonEmpty("a program"))
        ->check(CommandLine::completes(CommandLine::ValueKind::programs));
    command
        .add_option("--remote-program", settings.remoteCommand.remoteProgram,
            "the tavvo program on the remote machines (default: tavvo on their PATH)")
        ->type_name("PATH")
        ->check(CommandLine::nonEmpty("a program"));
}

}
