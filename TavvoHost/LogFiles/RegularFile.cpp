#include "TavvoHost/LogFiles/RegularFile.hpp"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace TavvoHost {

RegularFile::RegularFile(const std::filesystem::path& path)
{
    m_descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_descriptor < 0) {
        m_error = std::error_code(errno, std::generic_category());
        // A socket cannot be opened at all (ENXIO): still no failure to report.
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
            m_opening = Opening::notRegular;
        return;
    }
    if (::fstat(m_descriptor, &m_status) != 0) {
        m_error = std::error_code(errno, std::generic_category());
        return;
    }
    m_opening = S_ISREG(m_status.st_mode) ? Opening::opened : Opening::notRegular;
}

RegularFile::~RegularFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::optional<std::size_t> RegularFile::readAt(std::span<char> buffer, off_t offset)
{
    for (;;) {
        ssize_t const count = ::pread(m_descriptor, buffer.data(), buffer.size(), offset);
        if (count >= 0)
            return static_cast<std::size_t>(count);
        if (errno != EINTR) {
            m_error = std::error_code(errno, std::generic_category());
            return std::nullopt;
        }
    }
}

}
