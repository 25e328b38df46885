// Module: a shared library of the system's own loaded on demand, so that
// what it brings with it (GTK, Pango, Cairo and their dependencies) is
// mapped into a process only when that process needs it.
#pragma once

#include <filesystem>

namespace Foundation {

// The address of `symbol` in the module at `relativePath` from the folder
// of the library (or program) holding `anchor`, which keeps the layout the
// same in the build tree and in any installed prefix. The module stays
// loaded for the life of the process. Throws std::runtime_error saying
// why when the module cannot be loaded or lacks the symbol.
void* moduleSymbol(const void* anchor, const std::filesystem::path& relativePath, const char* symbol);

// The address of `symbol` in the system library `soname` (as the dynamic
// loader finds it, e.g. "libglib-2.0.so.0"), loaded on the first call for
// the life of the process: for a program that needs one function of a large
// library on one path only, and should not map it on every other. Throws
// std::runtime_error saying why when the library cannot be loaded or lacks
// the symbol.
void* systemLibrarySymbol(const char* soname, const char* symbol);

}
