// FolderListing: a folder held open for one look at it: its own status, its
// entries, and the status of each entry, all through one descriptor.
#pragma once

#include "Platform/Foundation/FileIdentity.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <dirent.h>

namespace Foundation {

// Looking at an entry through the open folder is one name for the kernel to
// find rather than the whole path walked again, which is most of the cost
// of a look over thousands of files. A folder that cannot be opened has no
// entries, and error() says why.
class FolderListing {
public:
    explicit FolderListing(const std::filesystem::path& path);
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    ~FolderListing();

    bool isOpen() const { return m_listing != nullptr; }
    // Why the folder could not be opened.
    std::error_code error() const { return m_error; }

    // The status of the folder itself; nothing when it is not open or its
    // status cannot be taken.
    std::optional<FileStatus> status() const;

    struct Entry {
        std::string name;
        // From the listing where the file system says; a symbolic link or
        // an entry of unknown type is looked at, following the link.
        bool isFolder = false;
    };

    // The entries, without "." and "..", in the order of the listing. They
    // can be read once; `error` is set when the listing broke off, and the
    // entries read until then are returned.
    std::vector<Entry> entries(std::error_code& error);

    // The status of the entry `name`, following a symbolic link: its target
    // decides. Nothing when it cannot be taken.
    std::optional<FileStatus> statusOf(const std::string& name) const;

private:
    DIR* m_listing = nullptr;
    int m_descriptor = -1;
    std::error_code m_error;
};

}
