#include "Platform/Foundation/StandardOutput.hpp"

#include <cerrno>

#include <unistd.h>

namespace Foundation {

std::error_code writeStandardOutput(std::string_view text)
{
    while (!text.empty()) {
        auto const written = ::write(STDOUT_FILENO, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return std::error_code(errno, std::generic_category());
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

}
