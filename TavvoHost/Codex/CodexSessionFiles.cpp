#include "TavvoHost/Codex/CodexSessionFiles.hpp"

#include "Platform/Foundation/FolderListing.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <string_view>

namespace TavvoHost {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view plainSuffix = ".jsonl";
constexpr std::string_view compressedSuffix = ".jsonl.zst";
constexpr std::string_view compressionSuffix = ".zst";

bool isDateFolderName(const std::string& name)
{
    return !name.empty() && name.size() <= 4 && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isLogName(const std::string& name)
{
    return name.starts_with("rollout-") && (name.ends_with(plainSuffix) || name.ends_with(compressedSuffix));
}

// Modified later; of two modified at the same instant, the one first by
// path, so that which of them a scan keeps does not depend on the listing.
bool isNewer(const Foundation::FileIdentity& identity, const fs::path& path, const Foundation::FileIdentity& otherIdentity, const fs::path& otherPath)
{
    if (identity.modified != otherIdentity.modified)
        return identity.modified > otherIdentity.modified;
    return path < otherPath;
}

}

class CodexSessionFiles::Scan {
public:
    Scan(Foundation::Date now, Foundation::Date modifiedSince, std::size_t olderWanted)
        : m_now(now)
        , m_modifiedSince(modifiedSince)
        , m_olderWanted(olderWanted)
    {
    }

    void home(Home& home)
    {
        std::error_code error;
        auto const status = fs::status(home.path, error);
        if (!fs::exists(status))
            return;
        m_result.anyHomeExists = true;
        if (!fs::is_directory(status)) {
            report(home.path, std::make_error_code(std::errc::not_a_directory));
            return;
        }
        m_result.folders.push_back(home.path);
        folder(home.sessions, 3, true);
        folder(home.archivedSessions, 3, false);
        keepRecent();
        keepNewestOlder();
        m_plainNames.clear();
        m_plainNamesSorted = false;
    }

    CodexSessionScan result()
    {
        std::sort(m_result.files.begin(), m_result.files.end(), [](auto const& a, auto const& b) { return a.path < b.path; });
        auto& older = m_result.olderFiles;
        std::sort(older.begin(), older.end(), [](auto const& a, auto const& b) { return isNewer(a.identity, a.path, b.identity, b.path); });
        if (older.size() > m_olderWanted)
            older.erase(older.begin() + static_cast<std::ptrdiff_t>(m_olderWanted), older.end());
        return std::move(m_result);
    }

private:
    // One folder: its rollout files and, `depth` levels down, its date
    // folders, listed again unless it is unchanged since a trusted listing.
    void folder(Folder& folder, int depth, bool onlyDateFolders)
    {
        // The logs are looked at through the open folder: most of a pass
        // goes to the thousands of logs too old to read.
        Foundation::FolderListing open(folder.path);
        auto status = open.status();
        if (status && status->kind != Foundation::FileKind::folder)
            status.reset();
        bool const unchanged = status && folder.listedIdentity == status->identity;
        if (!unchanged && !list(folder, open, status ? &status->identity : nullptr, depth, onlyDateFolders))
            return;
        m_result.folders.push_back(folder.path);
        for (auto const& log : folder.logs)
            consider(open, log);
        for (auto& subfolder : folder.subfolders)
            this->folder(subfolder, depth - 1, onlyDateFolders);
    }

    // The top folders need not exist; a date folder listed by its parent
    // does, so failing to list it is a problem. `identity`, taken before the
    // listing, is the one a later scan compares with.
    bool list(Folder& folder, Foundation::FolderListing& open, const Foundation::FileIdentity* identity, int depth, bool onlyDateFolders)
    {
        std::vector<Folder> known = std::move(folder.subfolders);
        folder.subfolders.clear();
        folder.logs.clear();
        folder.listedIdentity.reset();

        std::error_code error;
        if (!open.isOpen() || !identity) {
            error = open.isOpen() ? std::make_error_code(std::errc::not_a_directory) : open.error();
            if (error != std::errc::no_such_file_or_directory)
                report(folder.path, error);
            return false;
        }
        ++m_result.foldersListed;
        for (auto& entry : open.entries(error)) {
            if (depth > 0 && isDateFolderName(entry.name) && entry.isFolder)
                folder.subfolders.push_back(remembered(known, folder.path / entry.name));
            else if ((!onlyDateFolders || depth == 0) && isLogName(entry.name)) {
                bool const compressed = entry.name.ends_with(compressedSuffix);
                auto path = folder.path / entry.name;
                folder.logs.push_back({ std::move(path), std::move(entry.name), compressed });
            }
        }
        if (error)
            report(folder.path, error);
        else if (identity->isSettled(m_now))
            folder.listedIdentity = *identity;
        return true;
    }

    // A date folder still there keeps what is known of its own entries.
    static Folder remembered(std::vector<Folder>& known, const fs::path& path)
    {
        auto const found = std::find_if(known.begin(), known.end(), [&](auto const& folder) { return folder.path == path; });
        return found == known.end() ? Folder { path, std::nullopt, {}, {} } : std::move(*found);
    }

    void consider(const Foundation::FolderListing& open, const Log& log)
    {
        // Following a symbolic link: its target decides.
        auto const status = open.statusOf(log.name);
        if (!status || status->kind != Foundation::FileKind::regularFile)
            return;
        // The twin rule holds whatever the files' ages.
        if (!log.compressed)
            m_plainNames.push_back(log.name);
        auto const& identity = status->identity;
        if (!identity.isModifiedBefore(m_modifiedSince))
            m_recent.push_back({ log.path, log.compressed, identity, identity.isSettled(m_now) });
        else if (m_olderWanted > 0)
            m_older.push_back({ &log, identity, identity.isSettled(m_now) });
    }

    void keepRecent()
    {
        for (auto& file : m_recent)
            if (!file.compressed || !hasPlainTwin(file.path.filename().string()))
                m_result.files.push_back(std::move(file));
        m_recent.clear();
    }

    // The newest are taken one by one off a heap rather than all sorted: a
    // busy home holds thousands of old logs, and a few are wanted.
    void keepNewestOlder()
    {
        auto const older = [](const OlderLog& a, const OlderLog& b) { return isNewer(b.identity, b.log->path, a.identity, a.log->path); };
        std::make_heap(m_older.begin(), m_older.end(), older);
        std::size_t kept = 0;
        for (auto end = m_older.end(); end != m_older.begin() && kept < m_olderWanted; --end) {
            std::pop_heap(m_older.begin(), end, older);
            auto const& newest = *(end - 1);
            if (newest.log->compressed && hasPlainTwin(newest.log->name))
                continue;
            m_result.olderFiles.push_back({ newest.log->path, newest.log->compressed, newest.identity, newest.settled });
            ++kept;
        }
        m_older.clear();
    }

    bool hasPlainTwin(std::string_view compressedName)
    {
        // Compressed logs are rare: most homes need no sorted names at all.
        if (!m_plainNamesSorted) {
            std::sort(m_plainNames.begin(), m_plainNames.end());
            m_plainNamesSorted = true;
        }
        return std::binary_search(m_plainNames.begin(), m_plainNames.end(), compressedName.substr(0, compressedName.size() - compressionSuffix.size()));
    }

    void report(const fs::path& path, std::error_code error)
    {
        m_result.problems.push_back({ path, fmt::format("cannot read {}: {}", path.string(), error.message()) });
    }

    // A log left out as too old; it points into the remembered listings.
    struct OlderLog {
        const Log* log;
        Foundation::FileIdentity identity;
        bool settled;
    };

    CodexSessionScan m_result;
    Foundation::Date m_now;
    Foundation::Date m_modifiedSince;
    std::size_t m_olderWanted;
    // Of the home being scanned; the names and logs are those of the
    // remembered listings, which stay put until the next scan.
    std::vector<std::string_view> m_plainNames;
    bool m_plainNamesSorted = false;
    std::vector<CodexSessionFile> m_recent;
    std::vector<OlderLog> m_older;
};

CodexSessionFiles::CodexSessionFiles(const std::vector<std::filesystem::path>& homes)
{
    for (auto const& home : homes)
        m_homes.push_back({ home, { home / "sessions", std::nullopt, {}, {} }, { home / "archived_sessions", std::nullopt, {}, {} } });
}

CodexSessionScan CodexSessionFiles::scan(Foundation::Date now, Foundation::Date modifiedSince, std::size_t olderWanted)
{
    Scan scan(now, modifiedSince, olderWanted);
    for (auto& home : m_homes)
        scan.home(home);
    return scan.result();
}

}
