#include "Platform/Foundation/FolderWatcher.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <sys/inotify.h>
#include <unistd.h>

namespace Foundation {

namespace fs = std::filesystem;

namespace {

// What a folder's watch asks the kernel for: every event that
// `concerns` may count, and nothing it ignores, so that an idle program
// is not woken by reads or opens. IN_ONLYDIR turns a file where a folder
// was expected into a skip rather than a watch on the file.
constexpr std::uint32_t entryChanges = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MODIFY;
constexpr std::uint32_t folderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;
constexpr std::uint32_t watchMask = entryChanges | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// The failures of inotify_add_watch that mean "nothing to watch there
// now", as opposed to a watcher that cannot do its work.
bool isAbsentFolder(int error)
{
    return error == ENOENT || error == ENOTDIR || error == EACCES || error == ELOOP || error == ENAMETOOLONG;
}

// Both lists' names; empty (every entry) when either is.
std::vector<std::string> unitedNames(std::vector<std::string> names, const std::vector<std::string>& more)
{
    if (names.empty() || more.empty())
        return {};
    names.insert(names.end(), more.begin(), more.end());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool isDirectory(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

}

bool concerns(const WatchedFolder* watched, std::string_view entryName, std::uint32_t mask)
{
    // Events were lost: anything may have changed.
    if ((mask & IN_Q_OVERFLOW) != 0)
        return true;
    if (watched == nullptr)
        return false;
    if ((mask & folderGone) != 0)
        return true;
    if ((mask & entryChanges) == 0)
        return false;
    return watched->names.empty() || std::find(watched->names.begin(), watched->names.end(), entryName) != watched->names.end();
}

std::vector<WatchedFolder> watchedFoldersForFiles(const std::vector<fs::path>& files)
{
    std::vector<WatchedFolder> folders;
    for (auto const& file : files) {
        auto folder = file.parent_path();
        auto name = file.filename().string();
        while (!isDirectory(folder) && folder.has_relative_path()) {
            name = folder.filename().string();
            folder = folder.parent_path();
        }
        auto const existing = std::find_if(folders.begin(), folders.end(), [&](const WatchedFolder& watched) { return watched.folder == folder; });
        if (existing == folders.end())
            folders.push_back({ folder, { name } });
        else if (std::find(existing->names.begin(), existing->names.end(), name) == existing->names.end())
            existing->names.push_back(name);
    }
    return folders;
}

FolderWatcher::FolderWatcher()
    : m_descriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_descriptor < 0)
        throw std::system_error(errno, std::generic_category(), "cannot watch folders");
}

FolderWatcher::~FolderWatcher()
{
    ::close(m_descriptor);
}

void FolderWatcher::setWatchedFolders(const std::vector<WatchedFolder>& folders)
{
    std::map<int, WatchedFolder> watches;
    for (auto const& wanted : folders) {
        // Adding a folder already watched hands back its descriptor, so
        // this is also how a kept folder is recognised; and a path that
        // now leads to another folder gets a new watch.
        int const watch = ::inotify_add_watch(m_descriptor, wanted.folder.c_str(), watchMask);
        if (watch < 0) {
            if (isAbsentFolder(errno))
                continue;
            throw std::system_error(errno, std::generic_category(), "cannot watch folder " + wanted.folder.string());
        }
        auto const [found, added] = watches.try_emplace(watch, wanted);
        if (!added)
            found->second.names = unitedNames(found->second.names, wanted.names);
    }
    for (auto const& [watch, folder] : m_watches) {
        // A watch whose folder went away was removed by the kernel; the
        // refusal to remove it again changes nothing.
        if (!watches.contains(watch))
            ::inotify_rm_watch(m_descriptor, watch);
    }
    m_watches = std::move(watches);
}

bool FolderWatcher::readEvents()
{
    bool changed = false;
    // Aligned for the events the kernel writes into it; large enough for
    // any one of them (a header and a name of at most NAME_MAX bytes).
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        ssize_t const length = ::read(m_descriptor, buffer, sizeof buffer);
        if (length < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                return changed;
            throw std::system_error(errno, std::generic_category(), "cannot read folder changes");
        }
        if (length == 0)
            return changed;
        auto const end = static_cast<std::size_t>(length);
        for (std::size_t offset = 0; offset + sizeof(inotify_event) <= end;) {
            inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            char const* const name = buffer + offset + sizeof event;
            std::size_t const nameSpace = std::min<std::size_t>(event.len, end - offset - sizeof event);
            std::string_view const entryName(name, ::strnlen(name, nameSpace));
            auto const watch = m_watches.find(event.wd);
            changed = concerns(watch == m_watches.end() ? nullptr : &watch->second, entryName, event.mask) || changed;
            // The kernel ended this watch (its folder was deleted): the
            // descriptor is free for reuse and must not be removed again.
            if ((event.mask & IN_IGNORED) != 0 && watch != m_watches.end())
                m_watches.erase(watch);
            offset += sizeof event + event.len;
        }
    }
}

}
