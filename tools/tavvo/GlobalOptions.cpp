#include "GlobalOptions.hpp"

#include "Platform/CommandLine/OptionValidators.hpp"
#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/FileManager.hpp"

namespace TavvoTools {

void GlobalOptions::declare(CLI::App& global)
{
    global.add_option("--base-dir", baseDirectory, "use DIR in place of the shared folder (for tests and scripts)")
        ->type_name("DIR")
        ->transform(CommandLine::nonEmpty("a non-empty value"))
        ->check(CommandLine::completes(CommandLine::ValueKind::directories));
    global.add_option("--app-group", appGroupIdentifier, "the application group whose shared folder holds the snapshot")
        ->type_name("ID")
        ->transform(CommandLine::nonEmpty("a non-empty value"));
}

TavvoWidgetSnapshotStore makeStore(const GlobalOptions& options)
{
    std::string group = options.appGroupIdentifier.empty()
        ? TavvoWidgetSnapshotStore::resolvedAppGroupIdentifier(Foundation::Bundle::mainBundle())
        : options.appGroupIdentifier;
    std::optional<std::filesystem::path> baseDirectory;
    if (!options.baseDirectory.empty())
        baseDirectory = std::filesystem::path(options.baseDirectory);
    return TavvoWidgetSnapshotStore(std::move(group), std::move(baseDirectory), Foundation::FileManager::defaultManager());
}

}
