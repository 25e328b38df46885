#include "Platform/Foundation/ExecutablePath.hpp"

#include <system_error>

namespace Foundation {

std::filesystem::path executablePath()
{
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

}
