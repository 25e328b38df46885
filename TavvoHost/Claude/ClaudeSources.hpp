// ClaudeSources: where Claude Code's data lives on this machine, and one
// reading of it: each window from the newer of the status-line feed we keep
// and the usage Claude Code cached in its settings file that holds it.
#pragma once

#include "TavvoHost/Claude/ClaudeCachedUsage.hpp"
#include "TavvoHost/Observation/ClaudeReading.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace TavvoHost {

struct ClaudeLocations {
    // Claude Code's folder: $CLAUDE_CONFIG_DIR, else ~/.claude. Its
    // existence says whether Claude Code is installed.
    std::optional<std::filesystem::path> configFolder;
    // The settings file holding the cached usage: .claude.json in
    // $CLAUDE_CONFIG_DIR, else ~/.claude.json (beside the folder, not in it).
    std::optional<std::filesystem::path> settingsFile;
    // Our status-line feed (claudeFeedFile()).
    std::optional<std::filesystem::path> feedFile;

    friend bool operator==(const ClaudeLocations&, const ClaudeLocations&) = default;
};

// The locations from the environment, with `configFolder` (the command
// line's --claude-config-dir) in place of $CLAUDE_CONFIG_DIR when given.
// Without either, both Claude Code paths need HOME; each path is nothing
// when what it is built from is unset or empty.
ClaudeLocations claudeLocations(const std::optional<std::filesystem::path>& configFolder = std::nullopt);

// One pass over the sources. `state` is missing when Claude Code's folder
// does not exist and there is no feed either (a feed alone means the user
// connected the status line, so the sources are present). The observation
// takes each window from the newer source that holds it, the feed's on a
// tie (newestClaudeWindows); a source without a window is no reading. A
// feed that exists but cannot be read makes the state unreadable
// when nothing else was observed. Each file that cannot be read, and a
// corrupt feed, adds one line to `problems`. The settings file is read
// through `cachedUsage`, which a collector keeps from pass to pass.
ClaudeReading readClaude(const ClaudeLocations& locations, ClaudeCachedUsageReader& cachedUsage, std::vector<std::string>& problems);

// The files a watcher must watch to see the sources change, each as its
// folder and its name within it: both are replaced by renaming a new file
// into place, so watching a file itself would go silent after the first
// replacement.
std::vector<std::pair<std::filesystem::path, std::string>> claudeWatchedFiles(const ClaudeLocations& locations);

}
