#include "TavvoHost/Codex/CodexSessionFiles.hpp"

#include "TavvoHost/LogFiles/LogFileFixtures.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

using namespace TavvoHost;
namespace fs = std::filesystem;
using std::chrono::days;
using std::chrono::hours;

// The scanner compares modification times with the instant it is given,
// which must be by the clock the file system takes its times from.
Foundation::Date realNow()
{
    return std::chrono::floor<std::chrono::microseconds>(std::chrono::system_clock::now());
}

Foundation::Date bound()
{
    return realNow() - days(8);
}

// Folders last changed an hour ago: a scan may trust what it lists of them.
void ageFolders(const fs::path& home)
{
    for (auto const& entry : fs::recursive_directory_iterator(home))
        if (entry.is_directory() && !entry.is_symlink())
            setModified(entry.path(), realNow() - hours(1));
    setModified(home, realNow() - hours(1));
}

std::vector<fs::path> sorted(std::vector<fs::path> paths)
{
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<fs::path> pathsOf(const std::vector<CodexSessionFile>& files)
{
    std::vector<fs::path> paths;
    for (auto const& file : files)
        paths.push_back(file.path);
    return paths;
}

// What a fresh scanner must agree on. Whether a file counts as settled
// depends on the instant of the scan, so it is left out.
struct Found {
    std::vector<fs::path> files, olderFiles;
    std::vector<Foundation::FileIdentity> identities;
    std::vector<fs::path> folders;
    std::vector<CodexSessionFolderProblem> problems;
    bool anyHomeExists;
    friend bool operator==(const Found&, const Found&) = default;
};

Found found(const CodexSessionScan& scan)
{
    Found result { pathsOf(scan.files), pathsOf(scan.olderFiles), {}, sorted(scan.folders), scan.problems, scan.anyHomeExists };
    for (auto const& file : scan.files)
        result.identities.push_back(file.identity);
    return result;
}

TEST(CodexSessionFiles, ListsAFolderAgainOnlyWhenItChanged)
{
    TemporaryDirectory folder;
    auto const home = folder.path() / ".codex";
    auto const day7 = home / "sessions/2026/06/07";
    auto const day8 = home / "sessions/2026/06/08";
    writeFile(day7 / "rollout-1.jsonl", "{}\n");
    writeFile(day8 / "rollout-2.jsonl", "{}\n");
    ageFolders(home);
    CodexSessionFiles scanner({ home });

    // sessions, 2026, 06 and the two days; archived_sessions does not exist.
    auto const first = scanner.scan(realNow(), bound());
    EXPECT_EQ(first.foldersListed, 5);
    EXPECT_EQ(pathsOf(first.files), (std::vector<fs::path> { day7 / "rollout-1.jsonl", day8 / "rollout-2.jsonl" }));
    auto const again = scanner.scan(realNow(), bound());
    EXPECT_EQ(again.foldersListed, 0);
    EXPECT_EQ(found(again), found(first));

    // A new file in a known folder: only that folder is listed again, and
    // again on every scan while its last change is too recent to trust.
    writeFile(day8 / "rollout-3.jsonl", "{}\n");
    for (int scan = 0; scan < 2; ++scan) {
        auto const added = scanner.scan(realNow(), bound());
        EXPECT_EQ(added.foldersListed, 1);
        EXPECT_EQ(pathsOf(added.files), (std::vector<fs::path> { day7 / "rollout-1.jsonl", day8 / "rollout-2.jsonl", day8 / "rollout-3.jsonl" }));
    }

    // A removed folder is dropped with its files; its parent is listed
    // again, as is day 8, changed too recently to trust.
    fs::remove_all(day7);
    auto const removed = scanner.scan(realNow(), bound());
    EXPECT_EQ(removed.foldersListed, 2);
    EXPECT_EQ(pathsOf(removed.files), (std::vector<fs::path> { day8 / "rollout-2.jsonl", day8 / "rollout-3.jsonl" }));
    EXPECT_EQ(std::count(removed.folders.begin(), removed.folders.end(), day7), 0);

    // A folder made unreadable changes only its status change time, which
    // still makes it listed again, and the failure reported.
    if (::geteuid() != 0) {
        ageFolders(home);
        scanner.scan(realNow(), bound());
        EXPECT_EQ(scanner.scan(realNow(), bound()).foldersListed, 0);
        fs::permissions(day8, fs::perms::none);
        auto const unreadable = scanner.scan(realNow(), bound());
        fs::permissions(day8, fs::perms::owner_all);
        ASSERT_EQ(unreadable.problems.size(), 1u);
        EXPECT_EQ(unreadable.problems.front().path, day8);
        EXPECT_TRUE(unreadable.files.empty());
    }
}

TEST(CodexSessionFiles, NoticesAnOldLogWrittenAgain)
{
    TemporaryDirectory folder;
    auto const home = folder.path() / ".codex";
    auto const log = home / "sessions/2026/05/20/rollout-old.jsonl";
    writeFile(log, "{}\n");
    setModified(log, realNow() - days(10));
    ageFolders(home);
    CodexSessionFiles scanner({ home });
    EXPECT_TRUE(scanner.scan(realNow(), bound()).files.empty());

    // A session resumed days later appends to its old file: the folder
    // does not change, the file does.
    appendFile(log, "{}\n");
    auto const resumed = scanner.scan(realNow(), bound());
    EXPECT_EQ(resumed.foldersListed, 0);
    ASSERT_EQ(pathsOf(resumed.files), std::vector<fs::path> { log });
    EXPECT_EQ(resumed.files.front().identity.size, 6);
    // Just written: the same identity later need not mean the same bytes.
    EXPECT_FALSE(resumed.files.front().settled);

    setModified(log, realNow() - hours(1));
    auto const settled = scanner.scan(realNow(), bound());
    ASSERT_EQ(settled.files.size(), 1u);
    EXPECT_TRUE(settled.files.front().settled);
}

TEST(CodexSessionFiles, NamesTheNewestOfTheLogsLeftOut)
{
    TemporaryDirectory folder;
    auto const a = folder.path() / "a";
    auto const b = folder.path() / "b";
    auto const old = [](const fs::path& path, days age) {
        writeFile(path, "{}\n");
        setModified(path, realNow() - age);
    };
    old(a / "sessions/2026/05/01/rollout-1.jsonl", days(20));
    // The newest of all, but the compressed twin of a plain log elsewhere
    // in its home: never named, nor allowed to crowd out an older log.
    old(a / "sessions/2026/05/01/rollout-2.jsonl.zst", days(9));
    old(a / "archived_sessions/rollout-2.jsonl", days(15));
    old(a / "sessions/2026/05/03/rollout-3.jsonl", days(10));
    old(b / "archived_sessions/rollout-4.jsonl.zst", days(22));
    old(b / "archived_sessions/rollout-5.jsonl", days(30));
    writeFile(b / "sessions/2026/06/08/rollout-6.jsonl", "{}\n");
    // A twin in another home is no twin.
    old(b / "archived_sessions/rollout-3.jsonl.zst", days(21));

    std::vector<fs::path> const newestFirst { a / "sessions/2026/05/03/rollout-3.jsonl", a / "archived_sessions/rollout-2.jsonl",
        a / "sessions/2026/05/01/rollout-1.jsonl", b / "archived_sessions/rollout-3.jsonl.zst", b / "archived_sessions/rollout-4.jsonl.zst",
        b / "archived_sessions/rollout-5.jsonl" };
    for (std::size_t wanted : { 3u, 10u }) {
        SCOPED_TRACE(wanted);
        auto const scan = CodexSessionFiles({ a, b }).scan(realNow(), bound(), wanted);
        EXPECT_EQ(pathsOf(scan.files), std::vector<fs::path> { b / "sessions/2026/06/08/rollout-6.jsonl" });
        auto const expected = std::vector<fs::path>(newestFirst.begin(), newestFirst.begin() + static_cast<std::ptrdiff_t>(std::min(wanted, newestFirst.size())));
        EXPECT_EQ(pathsOf(scan.olderFiles), expected);
    }
}

TEST(CodexSessionFiles, FindsWhatAFreshScannerFindsAfterEachChange)
{
    TemporaryDirectory folder;
    auto const home = folder.path() / ".codex";
    auto const sessions = home / "sessions";
    auto const archived = home / "archived_sessions";
    auto const day = sessions / "2026/06/08";
    writeFile(day / "rollout-a.jsonl", "{}\n");
    writeFile(day / "rollout-b.jsonl.zst", "x");
    writeFile(archived / "rollout-c.jsonl", "{}\n");
    writeFile(sessions / "2026/05/20/rollout-old.jsonl", "{}\n");
    setModified(sessions / "2026/05/20/rollout-old.jsonl", realNow() - days(10));
    writeFile(archived / "rollout-older.jsonl.zst", "x");
    setModified(archived / "rollout-older.jsonl.zst", realNow() - days(11));

    struct Step {
        const char* what;
        std::function<void()> change;
    };
    std::vector<Step> const steps {
        { "nothing", [] {} },
        { "a log added to a known day", [&] { writeFile(day / "rollout-d.jsonl", "{}\n"); } },
        { "a new day", [&] { writeFile(sessions / "2026/06/09/rollout-e.jsonl", "{}\n"); } },
        { "a plain twin written beside a compressed log", [&] { writeFile(archived / "rollout-b.jsonl", "{}\n"); } },
        { "the plain twin removed", [&] { fs::remove(archived / "rollout-b.jsonl"); } },
        { "a plain twin written beside an old compressed log", [&] { writeFile(day / "rollout-older.jsonl", "{}\n"); } },
        { "an old log written again", [&] { appendFile(sessions / "2026/05/20/rollout-old.jsonl", "{}\n"); } },
        { "a log replaced by a FIFO", [&] {
             fs::remove(day / "rollout-a.jsonl");
             ASSERT_EQ(::mkfifo((day / "rollout-a.jsonl").c_str(), 0600), 0);
         } },
        { "a day renamed", [&] { fs::rename(sessions / "2026/06/09", sessions / "2026/06/10"); } },
        { "a month removed", [&] { fs::remove_all(sessions / "2026/05"); } },
        { "the sessions folder replaced by a file", [&] {
             fs::remove_all(sessions);
             writeFile(sessions, "not a folder");
         } },
        { "the home removed", [&] { fs::remove_all(home); } },
    };

    CodexSessionFiles incremental({ home });
    for (auto const& step : steps) {
        SCOPED_TRACE(step.what);
        if (fs::exists(home))
            ageFolders(home);
        incremental.scan(realNow(), bound(), 2);
        step.change();
        auto const scanned = incremental.scan(realNow(), bound(), 2);
        EXPECT_EQ(found(scanned), found(CodexSessionFiles({ home }).scan(realNow(), bound(), 2)));
    }
}

}
