#include "Platform/Foundation/FolderListing.hpp"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace Foundation {

FolderListing::FolderListing(const std::filesystem::path& path)
    : m_listing(::opendir(path.c_str()))
{
    if (m_listing)
        m_descriptor = ::dirfd(m_listing);
    else
        m_error = std::error_code(errno, std::generic_category());
}

FolderListing::~FolderListing()
{
    if (m_listing)
        ::closedir(m_listing);
}

std::optional<FileStatus> FolderListing::status() const
{
    struct stat status {};
    if (m_descriptor < 0 || ::fstat(m_descriptor, &status) != 0)
        return std::nullopt;
    return fileStatus(status);
}

std::vector<FolderListing::Entry> FolderListing::entries(std::error_code& error)
{
    std::vector<Entry> entries;
    if (!m_listing)
        return entries;
    errno = 0;
    while (auto const* entry = ::readdir(m_listing)) {
        std::string name(entry->d_name);
        if (name != "." && name != "..") {
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
                struct stat status {};
                isFolder = ::fstatat(m_descriptor, entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
            }
            entries.push_back({ std::move(name), isFolder });
        }
        errno = 0;
    }
    if (errno != 0)
        error.assign(errno, std::generic_category());
    return entries;
}

std::optional<FileStatus> FolderListing::statusOf(const std::string& name) const
{
    struct stat status {};
    if (m_descriptor < 0 || ::fstatat(m_descriptor, name.c_str(), &status, 0) != 0)
        return std::nullopt;
    return fileStatus(status);
}

}
