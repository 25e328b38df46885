// `tavvo-widget bar`: the widget's data as one line for a status bar or a
// terminal, printed once or kept current.
#pragma once

#include "Platform/CommandLine/Program.hpp"
#include "Platform/WidgetKit/WidgetBundleMain.hpp"

namespace TavvoSurfaces {

// Declares `bar` on `program`; its run reads the snapshot through the
// services `lent` gives.
void addStatusBarCommand(CommandLine::Program& program, const WidgetKit::LentServices& lent);

} // namespace TavvoSurfaces
