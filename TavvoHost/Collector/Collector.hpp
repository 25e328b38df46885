// Collector: every source of both services, read pass after pass, and the
// snapshot they make together.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/FolderWatcher.hpp"
#include "TavvoHost/Claude/ClaudeCachedUsage.hpp"
#include "TavvoHost/Claude/ClaudeSources.hpp"
#include "TavvoHost/Codex/CodexAppServer.hpp"
#include "TavvoHost/Codex/CodexLogReader.hpp"
#include "TavvoHost/Codex/CodexRefreshSchedule.hpp"
#include "TavvoHost/Remote/MachineObservations.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace TavvoHost {

struct CollectorOptions {
    std::vector<std::filesystem::path> codexHomes;
    ClaudeLocations claude;
    std::chrono::seconds ttl;
    // The user's own `codex` program, run for fresh numbers when the logs'
    // are older than `ttl`; nothing: never run.
    std::optional<std::string> codexProgram;
};

// What this machine's sources yielded at one pass, before any other
// machine's are merged in.
struct ObservedPass {
    MachineObservations observations;
    std::vector<std::string> problems; // one line each, for standard error
};

struct CollectorPass {
    TavvoWidgetSnapshot snapshot;
    std::vector<std::string> problems; // one line each, for standard error
};

class Collector {
public:
    explicit Collector(CollectorOptions options);

    // One pass over every source, reading only what changed since the
    // last one (everything the first time).
    ObservedPass observe(Foundation::Date now);

    // One pass, and the snapshot of what it and `remote`, the last
    // observations of other machines, yielded together.
    CollectorPass collect(Foundation::Date now, const std::vector<MachineObservations>& remote = {});

    // The folders whose changes can change the next pass, with the names
    // that matter in each; new date folders appear after a pass.
    std::vector<Foundation::WatchedFolder> watchedFolders() const;

    // When time alone makes a pass worth running: the next Codex refresh
    // that may come due. Nothing when refreshing is off.
    std::optional<Foundation::Date> nextTimedPassAt(Foundation::Date now) const;

private:
    // Runs the app server when the schedule says so; its observation
    // replaces the logs' when it is newer.
    void refreshCodex(CodexReading& reading, Foundation::Date now, std::vector<std::string>& problems);

    // The newest time Codex was observed, by the logs or the app server.
    std::optional<Foundation::Date> newestCodexObservation() const;

    CollectorOptions m_options;
    CodexLogReader m_codexLogs;
    ClaudeCachedUsageReader m_claudeCachedUsage;
    std::optional<CodexRefreshStamp> m_refreshStamp; // nothing: no state folder to keep it in
    std::optional<std::filesystem::path> m_appServerRecord;
    std::optional<Foundation::Date> m_newestLogObservation;
    // The app server's last answer: it stands in for the logs' "codex"
    // bucket for as long as it is the newer of the two.
    std::optional<CodexAppServerAnswer> m_appServerAnswer;
};

}
