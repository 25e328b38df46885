#include "Platform/Foundation/Module.hpp"

#include <stdexcept>
#include <string>

#include <dlfcn.h>

namespace Foundation {

namespace {

void* loadedSymbol(const char* library, const char* symbol, int binding)
{
    // Never unloaded: the libraries modules bring (GLib's types, GTK) cannot
    // be unloaded safely.
    void* module = dlopen(library, binding | RTLD_LOCAL);
    if (!module)
        throw std::runtime_error(dlerror());
    void* address = dlsym(module, symbol);
    if (!address)
        throw std::runtime_error(std::string(library) + " lacks " + symbol);
    return address;
}

}

void* moduleSymbol(const void* anchor, const std::filesystem::path& relativePath, const char* symbol)
{
    Dl_info info {};
    std::filesystem::path const folder = dladdr(anchor, &info) != 0 && info.dli_fname
        ? std::filesystem::path(info.dli_fname).parent_path()
        : std::filesystem::path();
    return loadedSymbol((folder / relativePath).c_str(), symbol, RTLD_NOW);
}

void* systemLibrarySymbol(const char* soname, const char* symbol)
{
    // Bound lazily: of a large library, the one function asked for is all
    // that runs, and resolving every other symbol up front is most of the
    // cost of loading it.
    return loadedSymbol(soname, symbol, RTLD_LAZY);
}

}
