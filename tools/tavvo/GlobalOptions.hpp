// The options every tavvo command accepts, and the store they select.
#pragma once

#include "TavvoShared/Snapshot/TavvoWidgetSnapshotStore.hpp"

#include <CLI/CLI.hpp>

#include <string>

namespace TavvoTools {

// Empty when not given (an empty value is refused).
struct GlobalOptions {
    std::string baseDirectory;
    std::string appGroupIdentifier;

    // Declares --base-dir and --app-group on the program's own level.
    void declare(CLI::App& global);
};

// The store in the folder the options name: the app group's shared folder,
// or --base-dir.
TavvoWidgetSnapshotStore makeStore(const GlobalOptions& options);

}
