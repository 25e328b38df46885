// `tavvo collect`: the snapshot from what Codex and Claude Code keep on
// this machine, once or kept current.
#pragma once

#include "GlobalOptions.hpp"

#include "Platform/CommandLine/Program.hpp"
#include "TavvoShared/Snapshot/TavvoFreshnessPolicy.hpp"

#include <chrono>
#include <string>

class CollectCommand {
public:
    // Declares `collect` on `program`; both must outlive the run.
    CollectCommand(CommandLine::Program& program, const GlobalOptions& global);
    CollectCommand(const CollectCommand&) = delete;
    CollectCommand& operator=(const CollectCommand&) = delete;

    struct Settings {
        bool print = false;
        bool watch = false;
        bool refreshCodex = false;
        std::string codexHome; // empty: CODEX_HOME, else ~/.codex
        std::string claudeConfigDirectory; // empty: CLAUDE_CONFIG_DIR, else ~/.claude
        std::string codexProgram = "codex";
        std::chrono::seconds ttl { static_cast<std::chrono::seconds::rep>(TavvoFreshnessPolicy::defaultTTL) };
    };

private:
    Settings m_settings;
};
