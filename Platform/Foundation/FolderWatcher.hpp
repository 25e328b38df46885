// FolderWatcher: changes to chosen entries of chosen folders, as one file
// descriptor a long-running program sleeps on with poll(2).
//
// Folders are watched, never files: a file replaced by a rename into place
// is a new file, and a watch on the old one would go silent.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Foundation {

// One folder, and the names of the entries in it that matter.
struct WatchedFolder {
    std::filesystem::path folder;
    // Empty: every entry matters (a folder where new files or subfolders
    // appear under names nobody can know in advance).
    std::vector<std::string> names;

    friend bool operator==(const WatchedFolder&, const WatchedFolder&) = default;
};

// Whether one inotify event means "read again". `watched` is the folder
// whose watch reported the event, or null for an event that belongs to no
// watch kept any more (the queue's own overflow report among them);
// `entryName` is the name the event carries (empty for the folder itself).
//
// A rename into place, a close after writing, a write in progress, a new,
// removed or renamed-away entry count when they concern a watched name; an
// overflowed queue (events were lost) always counts; so does the watched
// folder itself going away. Reads, opens and attribute changes never count.
//   concerns(&{"/d", {"a"}}, "a", IN_MOVED_TO) == true
//   concerns(&{"/d", {"a"}}, "b", IN_CLOSE_WRITE) == false
//   concerns(&{"/d", {}}, "2026", IN_CREATE | IN_ISDIR) == true
//   concerns(nullptr, "", IN_Q_OVERFLOW) == true
bool concerns(const WatchedFolder* watched, std::string_view entryName, std::uint32_t mask);

// The folders to watch so that a change to any of `files` is noticed, each
// file by name in its folder. A folder that does not exist yet is stood in
// for by its nearest existing ancestor, watched for the name of the first
// missing step, so that the folder's creation is noticed too; the caller
// asks again after that change, and gets the folder itself. Files that
// share a folder share one entry.
std::vector<WatchedFolder> watchedFoldersForFiles(const std::vector<std::filesystem::path>& files);

// Not thread-safe: one thread owns the watcher. Failures are
// std::system_error carrying errno.
class FolderWatcher {
public:
    // Throws when the kernel gives no inotify instance (a per-user limit).
    FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;
    ~FolderWatcher();

    // Watches exactly `folders` from now on: new ones are added, those no
    // longer listed are dropped. A folder that does not exist, is not a
    // folder or cannot be read is skipped without a word: a caller applies
    // its list again after each change it handles, so a folder that
    // appears later is picked up then. A folder listed twice (or reached by
    // two paths) watches the names of both. Throws for anything else (the
    // per-user limit of watches reached, say), leaving the folders of the
    // previous call watched.
    void setWatchedFolders(const std::vector<WatchedFolder>& folders);

    // Readable when events are waiting. Never blocks on reads.
    int fileDescriptor() const { return m_descriptor; }

    // Reads every pending event; whether any of them concerns a watched
    // entry. Returns false at once when nothing is pending.
    bool readEvents();

private:
    int m_descriptor;
    // By watch descriptor: the kernel hands out one per folder, whatever
    // path reached it.
    std::map<int, WatchedFolder> m_watches;
};

}
