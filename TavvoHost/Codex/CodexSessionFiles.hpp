// CodexSessionFiles: finds the session logs of the Codex homes that can
// still hold something current, listing again only the folders that changed.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace TavvoHost {

// What stat says of a file or folder: any write, truncation, replacement,
// change of mode or owner, or (for a folder) entry added, removed or
// renamed gives another version.
struct CodexFileVersion {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0, changedNanoseconds = 0;

    friend bool operator==(const CodexFileVersion&, const CodexFileVersion&) = default;
};

// Whether the version was last modified before `date`; any modification time
// a file system keeps compares, even one outside the years a Date holds.
bool isModifiedBefore(const CodexFileVersion& version, Foundation::Date date);

struct CodexSessionFile {
    std::filesystem::path path;
    bool compressed = false; // .jsonl.zst
    CodexFileVersion version; // as the scan found it
    // Last modified long enough before the scan that a change after it
    // cannot have kept the modification time: a later scan finding the same
    // version finds the same content.
    bool settled = false;

    friend bool operator==(const CodexSessionFile&, const CodexSessionFile&) = default;
};

struct CodexSessionFolderProblem {
    std::filesystem::path path;
    std::string message; // one line: "cannot read <path>: <reason>"

    friend bool operator==(const CodexSessionFolderProblem&, const CodexSessionFolderProblem&) = default;
};

struct CodexSessionScan {
    bool anyHomeExists = false;
    std::vector<CodexSessionFile> files; // sorted by path
    // The most recently modified of the logs left out as too old, newest
    // modification first, as many as the scan was asked for.
    std::vector<CodexSessionFile> olderFiles;
    // Every folder whose entries are known: the homes, sessions/ and its
    // date folders, archived_sessions/ and its date folders.
    std::vector<std::filesystem::path> folders;
    std::vector<CodexSessionFolderProblem> problems;
    // How many of `folders` had to be listed; the others were unchanged
    // since they were last listed.
    int foldersListed = 0;
};

// Looks under each home at sessions/YYYY/MM/DD/rollout-*.jsonl[.zst] and at
// archived_sessions/ (its own rollout files and its date folders). Only
// regular files count, reached directly or through a symbolic link: never
// a FIFO, socket or device. A file last modified before `modifiedSince`
// cannot hold a current event and is left out unopened; the few most
// recently modified of those are named apart, for a reader with nothing
// current to fall back on. Where a plain log and its compressed twin both
// exist in a home, only the plain one, which is still being written, is
// listed, among either. A folder that cannot be listed is a problem and is
// skipped; the rest is still scanned.
//
// Each scan stats every folder and every rollout file it knows, but lists a
// folder again only when its version changed since it was last listed, or
// when it was listed so soon after its last change that a further change
// could have left its modification time as it was. A session resumed after
// days appends to its old file, which the stat of every file notices.
class CodexSessionFiles {
public:
    explicit CodexSessionFiles(const std::vector<std::filesystem::path>& homes);

    // At most `olderWanted` of the logs left out are named in `olderFiles`.
    CodexSessionScan scan(Foundation::Date modifiedSince, std::size_t olderWanted = 0);

private:
    struct Log {
        std::filesystem::path path;
        std::string name;
        bool compressed = false;
    };
    struct Folder {
        std::filesystem::path path;
        // The version the folder had when last listed, while that listing
        // can be trusted; without one it is listed again.
        std::optional<CodexFileVersion> listedVersion;
        std::vector<Folder> subfolders;
        std::vector<Log> logs;
    };
    struct Home {
        std::filesystem::path path;
        Folder sessions, archivedSessions;
    };
    class Scan;

    std::vector<Home> m_homes;
};

}
