#include "SourcesOptions.hpp"

#include "Platform/CommandLine/OptionValidators.hpp"
#include "Platform/Foundation/Environment.hpp"

#include <filesystem>

namespace TavvoTools {

namespace {

// The option's value, else the environment variable's.
std::optional<std::string> optionOrEnvironment(const std::string& option, const char* variable)
{
    if (!option.empty())
        return option;
    return Foundation::environmentValue(variable);
}

}

void SourcesOptions::declare(CLI::App& command)
{
    command.add_option("--codex-home", codexHome, "the Codex homes, comma-separated (default: $CODEX_HOME, else ~/.codex)")
        ->type_name("DIR")
        ->check(CommandLine::completes(CommandLine::ValueKind::directoryList));
    command.add_option("--claude-config-dir", claudeConfigDirectory, "Claude Code's folder (default: $CLAUDE_CONFIG_DIR, else ~/.claude)")
        ->type_name("DIR")
        ->check(CommandLine::completes(CommandLine::ValueKind::directories));
}

TavvoHost::CollectorOptions collectorOptions(const SourcesOptions& sources, std::chrono::seconds ttl, std::optional<std::string> codexProgram)
{
    auto const home = Foundation::environmentValue("HOME");
    std::optional<std::filesystem::path> homeDirectory;
    if (home)
        homeDirectory = std::filesystem::path(*home);
    return {
        .codexHomes = TavvoHost::codexHomes(optionOrEnvironment(sources.codexHome, "CODEX_HOME"), homeDirectory),
        .claude = TavvoHost::claudeLocations(sources.claudeConfigDirectory.empty()
                ? std::nullopt
                : std::optional<std::filesystem::path>(sources.claudeConfigDirectory)),
        .ttl = ttl,
        .codexProgram = std::move(codexProgram),
    };
}

}
