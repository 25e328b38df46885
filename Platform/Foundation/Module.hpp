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

}
