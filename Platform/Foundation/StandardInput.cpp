#include "Platform/Foundation/StandardInput.hpp"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace Foundation {

std::optional<std::string> readStandardInput(std::size_t maximumLength)
{
    // Room for the maximum at once, so that the text never moves: growing
    // it would hold the old copy and the new one, twice as large, together.
    // Memory the input does not fill is never touched, and costs nothing.
    constexpr std::size_t blockLength = 64 * 1024;
    std::string bytes;
    bytes.reserve(maximumLength + 1);
    while (bytes.size() <= maximumLength) {
        auto const start = bytes.size();
        bytes.resize(start + std::min(blockLength, maximumLength + 1 - start));
        ssize_t const count = ::read(STDIN_FILENO, bytes.data() + start, bytes.size() - start);
        bytes.resize(start + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
        if (count < 0 && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "cannot read standard input");
        if (count == 0)
            return bytes;
    }
    return std::nullopt;
}

}
