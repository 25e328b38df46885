#include "TavvoHost/Collector/Collector.hpp"

#include "TavvoHost/Codex/CodexAppServerRecord.hpp"
#include "TavvoHost/Collector/SnapshotAssembly.hpp"
#include "TavvoHost/Remote/MachineMerge.hpp"
#include "TavvoShared/State/TavvoStateFile.hpp"
#include "TavvoShared/Localization/L10n.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <system_error>

namespace TavvoHost {

namespace {

CodexObservation* codexBucket(CodexReading& reading)
{
    auto const found = std::find_if(reading.observations.begin(), reading.observations.end(),
        [](const CodexObservation& observation) { return observation.limitId == "codex"; });
    return found == reading.observations.end() ? nullptr : &*found;
}

}

Collector::Collector(CollectorOptions options)
    : m_options(std::move(options))
    , m_codexLogs(m_options.codexHomes)
{
    if (!m_options.codexProgram)
        return;
    if (auto const path = CodexRefreshStamp::defaultPath())
        m_refreshStamp.emplace(*path);
    m_appServerRecord = Tavvo::stateFile("codex-app-server.json");
    if (m_appServerRecord)
        m_appServerAnswer = readCodexAppServerRecord(*m_appServerRecord);
}

ObservedPass Collector::observe(Foundation::Date now)
{
    ObservedPass pass { { std::chrono::floor<std::chrono::seconds>(now), {}, {} }, {} };
    auto& codex = pass.observations.codex;
    codex = m_codexLogs.pass(now, pass.problems);
    if (auto const* bucket = codexBucket(codex))
        m_newestLogObservation = bucket->observedAt;
    else
        m_newestLogObservation.reset();
    if (m_options.codexProgram)
        refreshCodex(codex, now, pass.problems);
    pass.observations.claude = readClaude(m_options.claude, m_claudeCachedUsage, pass.problems);
    return pass;
}

CollectorPass Collector::collect(Foundation::Date now, const std::vector<MachineObservations>& remote)
{
    auto observed = observe(now);
    auto const& local = observed.observations;
    if (remote.empty())
        return { assembleSnapshot(local.codex, local.claude, now, m_options.ttl), std::move(observed.problems) };
    std::vector<CodexReading> codex { local.codex };
    std::vector<ClaudeReading> claude { local.claude };
    for (auto const& machine : remote) {
        codex.push_back(machine.codex);
        claude.push_back(machine.claude);
    }
    return { assembleSnapshot(mergedCodexReadings(codex), mergedClaudeReadings(claude), now, m_options.ttl), std::move(observed.problems) };
}

std::optional<Foundation::Date> Collector::newestCodexObservation() const
{
    auto newest = m_newestLogObservation;
    if (m_appServerAnswer && (!newest || m_appServerAnswer->observation.observedAt > *newest))
        newest = m_appServerAnswer->observation.observedAt;
    return newest;
}

void Collector::refreshCodex(CodexReading& reading, Foundation::Date now, std::vector<std::string>& problems)
{
    if (!m_refreshStamp) {
        problems.push_back("cannot refresh Codex: no folder to remember the last refresh in (HOME and XDG_STATE_HOME are unset)");
        return;
    }
    if (isCodexRefreshDue(newestCodexObservation(), m_refreshStamp->lastAttempt(), m_options.ttl, now)) {
        try {
            m_refreshStamp->record(now);
        } catch (const std::system_error& error) {
            problems.push_back(error.what());
        }
        auto answer = readCodexAppServer(*m_options.codexProgram, now, codexAppServerTimeout);
        if (auto* fresh = std::get_if<CodexAppServerAnswer>(&answer)) {
            m_appServerAnswer = std::move(*fresh);
            try {
                if (m_appServerRecord)
                    writeCodexAppServerRecord(*m_appServerRecord, *m_appServerAnswer);
            } catch (const std::system_error& error) {
                problems.push_back(error.what());
            }
        } else
            problems.push_back(fmt::format("{} app-server: {}", *m_options.codexProgram, std::get<std::string>(answer)));
    }
    if (!m_appServerAnswer)
        return;

    reading.accountLabel = m_appServerAnswer->email;
    auto* logs = codexBucket(reading);
    if (logs && logs->observedAt >= m_appServerAnswer->observation.observedAt)
        return;
    // The server's numbers are newer: they replace the logs' bucket, which
    // keeps only its quota name (the server does not tell it).
    CodexObservation observation = m_appServerAnswer->observation;
    if (logs) {
        observation.limitName = logs->limitName;
        *logs = std::move(observation);
    } else {
        reading.observations.insert(reading.observations.begin(), std::move(observation));
    }
    reading.state = SourceState::present;
    auto const* weekly = weeklyWindowOf(reading.observations.front());
    reading.weeklyTokens.reset();
    if (weekly && weekly->resetsAt)
        reading.weeklyTokens = m_codexLogs.tokensWithin(*weekly->resetsAt - weeklyWindow, *weekly->resetsAt);
}

std::vector<Foundation::WatchedFolder> Collector::watchedFolders() const
{
    std::vector<std::filesystem::path> files;
    for (auto const& home : m_options.codexHomes) {
        // The home itself matters only for the two folders the logs live
        // in: Codex writes much else there.
        files.push_back(home / "sessions");
        files.push_back(home / "archived_sessions");
    }
    for (auto const& [folder, name] : claudeWatchedFiles(m_options.claude))
        files.push_back(folder / name);
    if (m_options.claude.configFolder)
        files.push_back(*m_options.claude.configFolder);
    // Titles and notes follow the language.
    for (auto const& file : L10n::languageOverrideFiles())
        files.push_back(file);

    auto folders = Foundation::watchedFoldersForFiles(files);
    for (auto const& folder : m_codexLogs.watchedFolders()) {
        if (std::find(m_options.codexHomes.begin(), m_options.codexHomes.end(), folder) == m_options.codexHomes.end())
            folders.push_back({ folder, {} });
    }
    return folders;
}

std::optional<Foundation::Date> Collector::nextTimedPassAt(Foundation::Date now) const
{
    if (!m_options.codexProgram || !m_refreshStamp)
        return std::nullopt;
    return codexRefreshDueAt(newestCodexObservation(), m_refreshStamp->lastAttempt(), m_options.ttl, now);
}

}
