// The process's standard input, read whole but never beyond a limit.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace Foundation {

// Standard input to its end when it holds at most `maximumLength` bytes.
// Nothing when it holds more: reading stops one byte past the maximum, so
// an endless or huge input costs no more memory than the maximum. Throws
// std::system_error ("cannot read standard input: …") when it cannot be
// read.
std::optional<std::string> readStandardInput(std::size_t maximumLength);

}
