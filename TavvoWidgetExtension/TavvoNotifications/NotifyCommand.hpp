// `tavvo-widget notify [--watch]`: desktop notifications when a displayed
// limit runs low or resets after running low, and when the codex forecast
// says the quota runs out before it resets; each told once per limit and
// window, also across runs.
#pragma once

#include "Platform/CommandLine/Program.hpp"
#include "Platform/WidgetKit/WidgetBundleMain.hpp"

namespace TavvoSurfaces {

// Declares `notify` on `program`, with the services `lent` gives at run
// time; `lent` is copied.
void addNotifyCommand(CommandLine::Program& program, const WidgetKit::LentServices& lent);

} // namespace TavvoSurfaces
