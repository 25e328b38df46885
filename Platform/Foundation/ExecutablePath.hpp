// ExecutablePath: the file the running program was started from, as the
// kernel knows it, whatever name or folder it was called by.
#pragma once

#include <filesystem>

namespace Foundation {

// The program's absolute path; empty when it cannot be read (no /proc).
std::filesystem::path executablePath();

}
