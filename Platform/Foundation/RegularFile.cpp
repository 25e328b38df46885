#include "Platform/Foundation/RegularFile.hpp"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Foundation {

RegularFile::RegularFile(const std::filesystem::path& path)
{
    m_descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_descriptor < 0) {
        m_error = std::error_code(errno, std::generic_category());
        // A socket cannot be opened at all (ENXIO): still no failure to
        // report. Where nothing is there, nothing more is to be learnt.
        if (m_error == std::errc::no_such_file_or_directory || m_error == std::errc::not_a_directory)
            return;
        if (auto const status = fileStatus(path); status && status->kind != FileKind::regularFile)
            take(*status);
        return;
    }
    struct stat status {};
    if (::fstat(m_descriptor, &status) != 0) {
        m_error = std::error_code(errno, std::generic_category());
        return;
    }
    auto const found = fileStatus(status);
    m_identity = found.identity;
    take(found);
}

void RegularFile::take(const FileStatus& status)
{
    m_isFolder = status.kind == FileKind::folder;
    m_opening = status.kind == FileKind::regularFile ? Opening::opened : Opening::notRegular;
}

RegularFile::~RegularFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::optional<std::size_t> RegularFile::readAt(std::span<char> buffer, std::int64_t offset)
{
    for (;;) {
        ssize_t const count = ::pread(m_descriptor, buffer.data(), buffer.size(), static_cast<off_t>(offset));
        if (count >= 0)
            return static_cast<std::size_t>(count);
        if (errno != EINTR) {
            m_error = std::error_code(errno, std::generic_category());
            return std::nullopt;
        }
    }
}

}
