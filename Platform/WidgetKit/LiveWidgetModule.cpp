// Loads the live window's module on demand: GTK and everything it brings
// are mapped into the process only when a window is asked for.
#include "Platform/WidgetKit/LiveWidgetWindow.hpp"

#include "Platform/Foundation/Module.hpp"

#include <cstdio>
#include <stdexcept>

namespace WidgetKit {

int runLiveWidgetWindow(const WidgetHost& host, const LiveWidgetOptions& options)
{
    decltype(&widgetKitRunLiveWidgetWindow) run = nullptr;
    try {
        run = reinterpret_cast<decltype(run)>(Foundation::moduleSymbol(
            reinterpret_cast<const void*>(&runLiveWidgetWindow), WIDGETKIT_LIVE_MODULE, "widgetKitRunLiveWidgetWindow"));
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s: cannot load the live window: %s\n", options.programName.c_str(), error.what());
        return 1;
    }
    return run(&host, &options);
}

}
