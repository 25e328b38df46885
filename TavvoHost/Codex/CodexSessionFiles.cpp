#include "TavvoHost/Codex/CodexSessionFiles.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

namespace TavvoHost {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view plainSuffix = ".jsonl";
constexpr std::string_view compressedSuffix = ".jsonl.zst";
constexpr std::string_view compressionSuffix = ".zst";

// A change this soon after the one before may leave the modification time
// as it was. A time with a fraction of a second comes from a file system
// that keeps fine times, though from a clock that moves in ticks of a few
// milliseconds; one of whole seconds may come from a file system that keeps
// nothing finer than one or two seconds.
constexpr auto fineTimeGranularity = std::chrono::milliseconds(100);
constexpr auto wholeSecondGranularity = std::chrono::seconds(3);

bool isDateFolderName(const std::string& name)
{
    return !name.empty() && name.size() <= 4 && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isLogName(const std::string& name)
{
    return name.starts_with("rollout-") && (name.ends_with(plainSuffix) || name.ends_with(compressedSuffix));
}

CodexFileVersion versionOf(const struct stat& status)
{
    return { status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_ctim.tv_sec,
        status.st_ctim.tv_nsec };
}

// A folder held open for one look at it: its state, its entries and its
// logs' states all through one descriptor; -1, with `error`, when it
// cannot be opened.
struct OpenFolder {
    explicit OpenFolder(const fs::path& path)
        : listing(::opendir(path.c_str()))
        , descriptor(listing ? ::dirfd(listing) : -1)
        , error(listing ? 0 : errno)
    {
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    ~OpenFolder()
    {
        if (listing)
            ::closedir(listing);
    }

    DIR* listing;
    int descriptor;
    int error;
};

// An entry of a listed folder: its name, and whether it is a folder (the
// listing says so on most file systems; a link or an unknown type is
// looked at).
struct FolderEntry {
    std::string name;
    bool isFolder;
};

// The entries of the open folder, without "." and "..". Read once.
std::vector<FolderEntry> entriesOf(const OpenFolder& folder, std::error_code& error)
{
    std::vector<FolderEntry> entries;
    errno = 0;
    while (auto const* entry = ::readdir(folder.listing)) {
        std::string name(entry->d_name);
        if (name != "." && name != "..") {
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
                struct stat status {};
                isFolder = ::fstatat(folder.descriptor, entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
            }
            entries.push_back({ std::move(name), isFolder });
        }
        errno = 0;
    }
    if (errno != 0)
        error.assign(errno, std::generic_category());
    return entries;
}

// Compared second by second, since any time_t a file system keeps may not
// fit a Date.
bool isBefore(std::int64_t seconds, std::int64_t nanoseconds, Foundation::Date date)
{
    auto const second = std::chrono::floor<std::chrono::seconds>(date);
    if (seconds != second.time_since_epoch().count())
        return seconds < second.time_since_epoch().count();
    return nanoseconds / 1000 < (date - second).count();
}

bool isBefore(const timespec& time, Foundation::Date date)
{
    return isBefore(time.tv_sec, time.tv_nsec, date);
}

// Whether any change after `now` must change a modification time that is
// `modified` now.
bool isSettled(const timespec& modified, Foundation::Date now)
{
    if (modified.tv_nsec != 0)
        return isBefore(modified, now - fineTimeGranularity);
    return isBefore(modified, now - wholeSecondGranularity);
}

// Modified later; of two modified at the same instant, the one first by
// path, so that which of them a scan keeps does not depend on the listing.
bool isNewer(const CodexFileVersion& version, const fs::path& path, const CodexFileVersion& otherVersion, const fs::path& otherPath)
{
    if (version.modifiedSeconds != otherVersion.modifiedSeconds)
        return version.modifiedSeconds > otherVersion.modifiedSeconds;
    if (version.modifiedNanoseconds != otherVersion.modifiedNanoseconds)
        return version.modifiedNanoseconds > otherVersion.modifiedNanoseconds;
    return path < otherPath;
}

}

bool isModifiedBefore(const CodexFileVersion& version, Foundation::Date date)
{
    return isBefore(version.modifiedSeconds, version.modifiedNanoseconds, date);
}

class CodexSessionFiles::Scan {
public:
    Scan(Foundation::Date modifiedSince, std::size_t olderWanted)
        : m_modifiedSince(modifiedSince)
        , m_olderWanted(olderWanted)
        , m_now(std::chrono::floor<std::chrono::microseconds>(std::chrono::system_clock::now()))
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
        std::sort(older.begin(), older.end(), [](auto const& a, auto const& b) { return isNewer(a.version, a.path, b.version, b.path); });
        if (older.size() > m_olderWanted)
            older.erase(older.begin() + static_cast<std::ptrdiff_t>(m_olderWanted), older.end());
        return std::move(m_result);
    }

private:
    // One folder: its rollout files and, `depth` levels down, its date
    // folders, listed again unless it is unchanged since a trusted listing.
    void folder(Folder& folder, int depth, bool onlyDateFolders)
    {
        // The logs are looked at through the open folder, so that each look
        // is one name to find rather than the whole path walked again: most
        // of a pass goes to the thousands of logs too old to read.
        OpenFolder const open(folder.path);
        struct stat status {};
        bool const isFolder = open.descriptor >= 0 && ::fstat(open.descriptor, &status) == 0 && S_ISDIR(status.st_mode);
        bool const unchanged = isFolder && folder.listedVersion == versionOf(status);
        if (!unchanged && !list(folder, open, isFolder ? &status : nullptr, depth, onlyDateFolders))
            return;
        m_result.folders.push_back(folder.path);
        for (auto const& log : folder.logs)
            consider(open.descriptor, log);
        for (auto& subfolder : folder.subfolders)
            this->folder(subfolder, depth - 1, onlyDateFolders);
    }

    // The top folders need not exist; a date folder listed by its parent
    // does, so failing to list it is a problem. `status`, taken before the
    // listing, is the version a later scan compares with.
    bool list(Folder& folder, const OpenFolder& open, const struct stat* status, int depth, bool onlyDateFolders)
    {
        std::vector<Folder> known = std::move(folder.subfolders);
        folder.subfolders.clear();
        folder.logs.clear();
        folder.listedVersion.reset();

        std::error_code error;
        if (open.descriptor < 0 || !status) {
            error.assign(open.descriptor < 0 ? open.error : ENOTDIR, std::generic_category());
            if (error != std::errc::no_such_file_or_directory)
                report(folder.path, error);
            return false;
        }
        ++m_result.foldersListed;
        for (auto& entry : entriesOf(open, error)) {
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
        else if (status && isSettled(status->st_mtim, m_now))
            folder.listedVersion = versionOf(*status);
        return true;
    }

    // A date folder still there keeps what is known of its own entries.
    static Folder remembered(std::vector<Folder>& known, const fs::path& path)
    {
        auto const found = std::find_if(known.begin(), known.end(), [&](auto const& folder) { return folder.path == path; });
        return found == known.end() ? Folder { path, std::nullopt, {}, {} } : std::move(*found);
    }

    void consider(int folderDescriptor, const Log& log)
    {
        // Following a symbolic link: its target decides.
        struct stat status {};
        if (::fstatat(folderDescriptor, log.name.c_str(), &status, 0) != 0 || !S_ISREG(status.st_mode))
            return;
        // The twin rule holds whatever the files' ages.
        if (!log.compressed)
            m_plainNames.push_back(log.name);
        if (!isBefore(status.st_mtim, m_modifiedSince))
            m_recent.push_back({ log.path, log.compressed, versionOf(status), isSettled(status.st_mtim, m_now) });
        else if (m_olderWanted > 0)
            m_older.push_back({ &log, versionOf(status), isSettled(status.st_mtim, m_now) });
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
        auto const older = [](const OlderLog& a, const OlderLog& b) { return isNewer(b.version, b.log->path, a.version, a.log->path); };
        std::make_heap(m_older.begin(), m_older.end(), older);
        std::size_t kept = 0;
        for (auto end = m_older.end(); end != m_older.begin() && kept < m_olderWanted; --end) {
            std::pop_heap(m_older.begin(), end, older);
            auto const& newest = *(end - 1);
            if (newest.log->compressed && hasPlainTwin(newest.log->name))
                continue;
            m_result.olderFiles.push_back({ newest.log->path, newest.log->compressed, newest.version, newest.settled });
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
        CodexFileVersion version;
        bool settled;
    };

    CodexSessionScan m_result;
    Foundation::Date m_modifiedSince;
    std::size_t m_olderWanted;
    Foundation::Date m_now; // by the clock the file system takes its times from
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

CodexSessionScan CodexSessionFiles::scan(Foundation::Date modifiedSince, std::size_t olderWanted)
{
    Scan scan(modifiedSince, olderWanted);
    for (auto& home : m_homes)
        scan.home(home);
    return scan.result();
}

}
