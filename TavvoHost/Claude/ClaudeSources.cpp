#include "TavvoHost/Claude/ClaudeSources.hpp"

#include "Platform/Foundation/Environment.hpp"
#include "Platform/Foundation/FileManager.hpp"
#include "TavvoHost/Claude/ClaudeCachedUsage.hpp"
#include "TavvoHost/Claude/ClaudeFeed.hpp"
#include "TavvoHost/Claude/ClaudeNewestWindows.hpp"

namespace TavvoHost {

namespace fs = std::filesystem;

namespace {

constexpr char const* settingsFileName = ".claude.json";

// The reading of a file that may not be configured at all.
template <typename Read>
ClaudeFileReading readIfKnown(const std::optional<fs::path>& file, Read read, std::vector<std::string>& problems)
{
    if (!file)
        return {};
    auto reading = read(*file);
    if (reading.problem)
        problems.push_back(*reading.problem);
    return reading;
}

}

ClaudeLocations claudeLocations(const std::optional<fs::path>& configFolder)
{
    ClaudeLocations locations;
    locations.feedFile = claudeFeedFile();
    std::optional<fs::path> folder = configFolder;
    if (!folder || folder->empty()) {
        if (auto const value = Foundation::environmentValue("CLAUDE_CONFIG_DIR"))
            folder = fs::path(*value);
    }
    if (folder && !folder->empty()) {
        locations.configFolder = *folder;
        locations.settingsFile = *folder / settingsFileName;
    } else if (auto const home = Foundation::environmentValue("HOME")) {
        locations.configFolder = fs::path(*home) / ".claude";
        locations.settingsFile = fs::path(*home) / settingsFileName;
    }
    return locations;
}

ClaudeReading readClaude(const ClaudeLocations& locations, ClaudeCachedUsageReader& cachedUsage, std::vector<std::string>& problems)
{
    auto const installed = locations.configFolder && Foundation::FileManager::defaultManager()->fileExistsAtPath(*locations.configFolder);
    auto feed = readIfKnown(locations.feedFile, readClaudeFeed, problems);
    if (!installed && feed.state == SourceState::missing)
        return {};

    auto cached = readIfKnown(locations.settingsFile, [&](const fs::path& file) { return cachedUsage.read(file); }, problems);
    // The feed first: of the same time, it is Claude Code's own report.
    std::vector<ClaudeObservation> observations;
    for (auto* observation : { &feed.observation, &cached.observation }) {
        if (*observation)
            observations.push_back(std::move(**observation));
    }
    ClaudeReading reading { SourceState::present, newestClaudeWindows(observations) };
    if (!reading.observation && feed.state == SourceState::unreadable)
        reading.state = SourceState::unreadable;
    return reading;
}

std::vector<std::pair<fs::path, std::string>> claudeWatchedFiles(const ClaudeLocations& locations)
{
    std::vector<std::pair<fs::path, std::string>> watched;
    for (auto const& file : { locations.feedFile, locations.settingsFile }) {
        if (file)
            watched.emplace_back(file->parent_path(), file->filename().string());
    }
    return watched;
}

}
