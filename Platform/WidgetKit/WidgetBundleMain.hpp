// The entry point of a widget program: the host's command line over the
// one widget of the program's bundle.
//
//   PROGRAM describe | placeholder | snapshot [--preview] | timeline
//   PROGRAM render --family F [--request R] [--appearance A] [--scale N] [--format X] [-o FILE]
//   PROGRAM show [--family F] [--appearance light|dark|auto] [--report-frames]
//
// with --now INSTANT (pins the clock of every request) and --base-dir DIR
// (DIR stands in for the shared container) before or after the command,
// and whatever commands the program adds of its own.
#pragma once

#include "Platform/CommandLine/Program.hpp"
#include "Platform/WidgetKit/WidgetConfiguration.hpp"
#include "Platform/WidgetKit/WidgetServices.hpp"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace WidgetKit {

// What a bundle declares, built with the services the host lends it.
using WidgetBundleBody = std::function<std::vector<WidgetConfiguration>(const WidgetServices&)>;

// Whether the clock pinned by --now stays at that instant, or starts there
// and runs on: a long-running command's time must pass, or it would never
// reload.
enum class PinnedClock { stays, runsOn };

// The services the host's global options (--now, --base-dir) lend, for a
// command of the program's own. Throws CommandLine::UsageError for an
// option that makes no sense.
using LentServices = std::function<WidgetServices(PinnedClock)>;

// Commands a program offers beside the host's, declared on the same
// command line (and so sharing its global options, help and errors).
using ProgramCommands = std::function<void(CommandLine::Program&, const LentServices&)>;

// Runs the command `arguments` name; `programName` starts its help and
// every message. Exit statuses: 0 done, 1 failure, 2 usage error.
int widgetBundleMain(std::string_view programName, const WidgetBundleBody& body, std::span<const std::string> arguments,
    const ProgramCommands& programCommands = {});

// For `main`: runs the bundle type's `body(services)` under the host.
template <class Bundle>
int widgetBundleMain(std::string_view programName, int argc, char** argv, const ProgramCommands& programCommands = {})
{
    std::vector<std::string> const arguments(argv + 1, argv + argc);
    return widgetBundleMain(
        programName, [](const WidgetServices& services) { return Bundle().body(services); }, arguments, programCommands);
}

}
