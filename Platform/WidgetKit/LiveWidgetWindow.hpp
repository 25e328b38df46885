// LiveWidgetWindow: the widget on the desktop. A window of the family's
// size that keeps asking the widget for timelines, at the reload dates
// they name and whenever a file the widget reads changes, and draws each
// entry exactly as the command line's render does. A click opens the
// widget's address with the desktop's URL handler.
#pragma once

#include "Platform/WidgetKit/WidgetHost.hpp"
#include "Platform/WidgetKit/WidgetServices.hpp"

#include <optional>
#include <string>

namespace WidgetKit {

struct LiveWidgetOptions {
    WidgetFamily family;
    // Nothing follows the desktop, live.
    std::optional<UI::Appearance> appearance;
    // The clock the schedule runs on; the same one the widget was built with.
    Clock clock;
    // One line on standard output for every new picture drawn, for scripts
    // and tests that wait for the window: "frame <n>".
    bool reportFrames = false;
    // The program's name, which starts each of the window's messages.
    std::string programName;
};

// Runs until the window is closed or the process is asked to end (SIGINT,
// SIGTERM). Returns the exit status: 0, or 1 with a message on standard
// error when there is no display or the window cannot be loaded.
//
// The window lives in a module of its own (in a folder beside this
// library), loaded only here, so that the requests a widget answers from
// the command line never pay for loading GTK.
int runLiveWidgetWindow(const WidgetHost& host, const LiveWidgetOptions& options);

// The module's entry, looked up by name when it is loaded.
extern "C" int widgetKitRunLiveWidgetWindow(const WidgetHost* host, const LiveWidgetOptions* options);

}
