// CodexSessionFiles: finds the session logs of the Codex homes that can
// still hold something current.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace TavvoHost {

struct CodexSessionFile {
    std::filesystem::path path;
    bool compressed = false; // .jsonl.zst

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
    // Every folder whose entries were listed: the homes, sessions/ and its
    // date folders, archived_sessions/ and its date folders.
    std::vector<std::filesystem::path> folders;
    std::vector<CodexSessionFolderProblem> problems;
};

// Looks under each home at sessions/YYYY/MM/DD/rollout-*.jsonl[.zst] and at
// archived_sessions/ (its own rollout files and its date folders). Only
// regular files count, reached directly or through a symbolic link: never
// a FIFO, socket or device. A file last modified before `modifiedSince`
// cannot hold a current event and is left out unopened. Where a plain log
// and its compressed twin both exist in a home, only the plain one, which
// is still being written, is listed. A folder that cannot be listed is a
// problem and is skipped; the rest is still scanned.
CodexSessionScan scanCodexSessionFiles(const std::vector<std::filesystem::path>& homes, Foundation::Date modifiedSince);

}
