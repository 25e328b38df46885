#include "TavvoHost/Codex/CodexSessionFiles.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string_view>

#include <sys/stat.h>

namespace TavvoHost {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view plainSuffix = ".jsonl";
constexpr std::string_view compressedSuffix = ".jsonl.zst";

bool isDateFolderName(const std::string& name)
{
    return !name.empty() && name.size() <= 4 && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class Scanner {
public:
    Scanner(CodexSessionScan& scan, Foundation::Date modifiedSince)
        : m_scan(scan)
        , m_modifiedSince(modifiedSince)
    {
    }

    void scanHome(const fs::path& home)
    {
        std::error_code error;
        auto const status = fs::status(home, error);
        if (!fs::exists(status))
            return;
        m_scan.anyHomeExists = true;
        m_homeFiles.clear();
        if (!fs::is_directory(status)) {
            report(home, std::make_error_code(std::errc::not_a_directory));
            return;
        }
        m_scan.folders.push_back(home);
        scanFolder(home / "sessions", 3, true);
        scanFolder(home / "archived_sessions", 3, false);
        preferPlainTwins();
    }

private:
    // Lists one folder: its rollout files and, `depth` levels down, its date
    // folders. The top folders need not exist; a date folder listed by its
    // parent does, so failing to list it is a problem.
    void scanFolder(const fs::path& folder, int depth, bool onlyDateFolders)
    {
        std::error_code error;
        fs::directory_iterator entries(folder, error);
        if (error) {
            if (error != std::errc::no_such_file_or_directory)
                report(folder, error);
            return;
        }
        m_scan.folders.push_back(folder);
        std::vector<fs::path> subfolders;
        for (; entries != fs::directory_iterator(); entries.increment(error)) {
            auto const& path = entries->path();
            std::string const name = path.filename().string();
            if (depth > 0 && isDateFolderName(name) && entries->is_directory(error)) {
                subfolders.push_back(path);
                continue;
            }
            if (!onlyDateFolders || depth == 0)
                consider(path, name);
        }
        if (error)
            report(folder, error);
        for (auto const& subfolder : subfolders)
            scanFolder(subfolder, depth - 1, onlyDateFolders);
    }

    void consider(const fs::path& path, const std::string& name)
    {
        bool const compressed = name.ends_with(compressedSuffix);
        if (!name.starts_with("rollout-") || (!compressed && !name.ends_with(plainSuffix)))
            return;
        // stat follows a symbolic link: its target decides.
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            return;
        // The twin rule holds whatever the files' ages.
        m_homeFiles.push_back({ { path, compressed }, modifiedAt(status) >= m_modifiedSince });
    }

    static Foundation::Date modifiedAt(const struct stat& status)
    {
        using namespace std::chrono;
        return Foundation::Date(seconds(status.st_mtim.tv_sec) + duration_cast<microseconds>(nanoseconds(status.st_mtim.tv_nsec)));
    }

    void preferPlainTwins()
    {
        std::set<std::string> plainStems;
        for (auto const& [file, recent] : m_homeFiles)
            if (!file.compressed)
                plainStems.insert(file.path.filename().string());
        for (auto const& [file, recent] : m_homeFiles) {
            std::string const name = file.path.filename().string();
            bool const hasPlainTwin = file.compressed && plainStems.contains(name.substr(0, name.size() - std::string_view(".zst").size()));
            if (recent && !hasPlainTwin)
                m_scan.files.push_back(file);
        }
    }

    void report(const fs::path& path, std::error_code error)
    {
        m_scan.problems.push_back({ path, fmt::format("cannot read {}: {}", path.string(), error.message()) });
    }

    struct Candidate {
        CodexSessionFile file;
        bool recent;
    };

    CodexSessionScan& m_scan;
    Foundation::Date m_modifiedSince;
    std::vector<Candidate> m_homeFiles;
};

}

CodexSessionScan scanCodexSessionFiles(const std::vector<std::filesystem::path>& homes, Foundation::Date modifiedSince)
{
    CodexSessionScan scan;
    Scanner scanner(scan, modifiedSince);
    for (auto const& home : homes)
        scanner.scanHome(home);
    std::sort(scan.files.begin(), scan.files.end(), [](auto const& a, auto const& b) { return a.path < b.path; });
    return scan;
}

}
