// CodexSessionFiles: finds the session logs of the Codex homes that can
// still hold something current, listing again only the folders that changed.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/FileIdentity.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace TavvoHost {

struct CodexSessionFile {
    std::filesystem::path path;
    bool compressed = false; // .jsonl.zst
    Foundation::FileIdentity identity; // as the scan found it
    // Settled at the scan's instant: a later scan finding the same identity
    // finds the same content.
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
// folder again only when its identity changed since it was last listed, or
// when it had not settled when it was listed. A session resumed after days
// appends to its old file, which the stat of every file notices.
class CodexSessionFiles {
public:
    explicit CodexSessionFiles(const std::vector<std::filesystem::path>& homes);

    // `now` is the instant of the scan, by the clock the file system takes
    // its times from, read before the scan. At most `olderWanted` of the
    // logs left out are named in `olderFiles`.
    CodexSessionScan scan(Foundation::Date now, Foundation::Date modifiedSince, std::size_t olderWanted = 0);

private:
    struct Log {
        std::filesystem::path path;
        std::string name;
        bool compressed = false;
    };
    struct Folder {
        std::filesystem::path path;
        // The identity the folder had when last listed, while that listing
        // can be trusted; without one it is listed again.
        std::optional<Foundation::FileIdentity> listedIdentity;
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
