// Where this machine's sources are, as `collect` and `observations` both
// take them on the command line.
#pragma once

#include "TavvoHost/Collector/Collector.hpp"

#include <CLI/CLI.hpp>

#include <chrono>
#include <optional>
#include <string>

namespace TavvoTools {

struct SourcesOptions {
    std::string codexHome; // empty: CODEX_HOME, else ~/.codex
    std::string claudeConfigDirectory; // empty: CLAUDE_CONFIG_DIR, else ~/.claude

    // Declares --codex-home and --claude-config-dir on `command`.
    void declare(CLI::App& command);
};

// The collector over the sources `sources` names; `codexProgram`: the
// user's codex to refresh from, nothing: never.
TavvoHost::CollectorOptions collectorOptions(const SourcesOptions& sources, std::chrono::seconds ttl, std::optional<std::string> codexProgram);

}
