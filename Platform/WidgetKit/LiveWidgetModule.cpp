// Loads the live window's module on demand: GTK and everything it brings
// are mapped into the process only when a window is asked for.
#include "Platform/WidgetKit/LiveWidgetWindow.hpp"

#include <cstdio>
#include <filesystem>

#include <dlfcn.h>

namespace WidgetKit {

namespace {

// lib/tavvo/ beside the folder this library was loaded from, in the build
// tree and in any installed prefix alike.
std::filesystem::path modulePath()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&runLiveWidgetWindow), &info) == 0 || !info.dli_fname)
        return "libTavvoWidgetKitLive.so";
    return std::filesystem::path(info.dli_fname).parent_path() / "tavvo" / "libTavvoWidgetKitLive.so";
}

}

int runLiveWidgetWindow(const WidgetHost& host, const LiveWidgetOptions& options)
{
    auto const path = modulePath();
    // Kept loaded for the life of the process: GTK cannot be unloaded.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "tavvo-widget: cannot load the live window: %s\n", dlerror());
        return 1;
    }
    auto* run = reinterpret_cast<decltype(&tavvoRunLiveWidgetWindow)>(dlsym(module, "tavvoRunLiveWidgetWindow"));
    if (!run) {
        std::fprintf(stderr, "tavvo-widget: %s is not the live window's module\n", path.c_str());
        return 1;
    }
    return run(&host, &options);
}

}
