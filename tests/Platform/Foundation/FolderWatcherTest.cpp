#include "Platform/Foundation/FolderWatcher.hpp"

#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Foundation::FolderWatcher;
using Foundation::WatchedFolder;

namespace {

void write(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

}

TEST(FolderWatcher, ConcernsIsTheTableOfWhatMeansReadAgain)
{
    WatchedFolder const named { "/d", { "feed.json", "other.json" } };
    WatchedFolder const any { "/d", {} };
    struct Case {
        const WatchedFolder* folder;
        std::string_view name;
        std::uint32_t mask;
        bool expected;
    };
    Case const cases[] = {
        // The ways a file changes, on a watched name.
        { &named, "feed.json", IN_MOVED_TO, true },
        { &named, "feed.json", IN_CLOSE_WRITE, true },
        { &named, "feed.json", IN_MODIFY, true },
        { &named, "other.json", IN_CREATE, true },
        { &named, "feed.json", IN_DELETE, true },
        { &named, "feed.json", IN_MOVED_FROM, true },
        // The same on a name nobody asked for; names are exact.
        { &named, "feed.json.tmp-x1", IN_CLOSE_WRITE, false },
        { &named, "Feed.json", IN_MOVED_TO, false },
        // Looking is not changing.
        { &named, "feed.json", IN_OPEN, false },
        { &named, "feed.json", IN_ATTRIB, false },
        // A folder that takes every entry: new date folders and new files.
        { &any, "07", IN_CREATE | IN_ISDIR, true },
        { &any, "rollout-1.jsonl", IN_MODIFY, true },
        { &any, "rollout-1.jsonl", IN_OPEN, false },
        // The watched folder itself went away, whatever it watched for.
        { &named, "", IN_DELETE_SELF, true },
        { &named, "", IN_MOVE_SELF, true },
        { &named, "", IN_IGNORED, true },
        // Lost events may have been anything; a watch no longer kept
        // reports nothing else.
        { nullptr, "", IN_Q_OVERFLOW, true },
        { nullptr, "feed.json", IN_CLOSE_WRITE, false },
        { nullptr, "", IN_IGNORED, false },
    };
    for (auto const& item : cases)
        EXPECT_EQ(Foundation::concerns(item.folder, item.name, item.mask), item.expected)
            << (item.folder ? item.folder->folder.string() : "(none)") << " " << item.name << " mask " << std::hex << item.mask;
}

TEST(FolderWatcher, FilesAreWatchedByNameInTheirFolderOrItsNearestExistingAncestor)
{
    TemporaryDirectory temporary;
    auto const root = temporary.path();
    fs::create_directory(root / "config");
    EXPECT_EQ(Foundation::watchedFoldersForFiles({
                  root / "config" / "a.plist",
                  root / "config" / "b.plist",
                  root / "config" / "a.plist",
                  root / "missing" / "deeper" / "c.plist",
                  root / "missing" / "d.plist",
              }),
        (std::vector<WatchedFolder> { { root / "config", { "a.plist", "b.plist" } }, { root, { "missing" } } }));
}

TEST(FolderWatcher, ReportsTheChangesAWriterMakesAndNothingElse)
{
    TemporaryDirectory temporary;
    auto const folder = temporary.path();
    fs::create_directory_symlink(folder, folder / "link");
    FolderWatcher watcher;
    // One folder listed twice, under another name: the names of both count.
    watcher.setWatchedFolders({ { folder, { "feed.json" } }, { folder / "link", { "other.json" } } });
    EXPECT_FALSE(watcher.readEvents()) << "nothing happened yet";

    // An atomic replace: the temporary file's own events do not count, the
    // rename into place does.
    write(folder / "feed.json.tmp", "{}");
    EXPECT_FALSE(watcher.readEvents()) << "the temporary file is not watched";
    fs::rename(folder / "feed.json.tmp", folder / "feed.json");
    EXPECT_TRUE(watcher.readEvents()) << "rename into place";
    EXPECT_FALSE(watcher.readEvents()) << "every event was taken";

    // Writing in place and closing; reading does not count.
    write(folder / "feed.json", "more");
    EXPECT_TRUE(watcher.readEvents()) << "close after writing";
    std::string contents;
    std::ifstream(folder / "feed.json") >> contents;
    EXPECT_FALSE(watcher.readEvents()) << "a reader changes nothing";
    write(folder / "other.json", "{}");
    EXPECT_TRUE(watcher.readEvents()) << "the name watched through the other path";

    write(folder / "unrelated.json", "{}");
    fs::remove(folder / "unrelated.json");
    EXPECT_FALSE(watcher.readEvents()) << "another name in the same folder";
}

TEST(FolderWatcher, FollowsTheFoldersAsTheyComeAndGo)
{
    TemporaryDirectory temporary;
    auto const sessions = temporary.path() / "sessions";
    fs::create_directory(sessions);
    FolderWatcher watcher;
    // One folder missing for now: skipped, not an error.
    EXPECT_TRUE(watcher.setWatchedFolders({ { sessions, {} }, { sessions / "07", {} } })) << "the first folder";

    fs::create_directory(sessions / "07");
    EXPECT_TRUE(watcher.readEvents()) << "a new date folder";
    write(sessions / "07" / "rollout.jsonl", "{}\n");
    EXPECT_FALSE(watcher.readEvents()) << "not watched until the list is applied again";

    EXPECT_TRUE(watcher.setWatchedFolders({ { sessions, {} }, { sessions / "07", {} } })) << "the new folder";
    EXPECT_FALSE(watcher.setWatchedFolders({ { sessions / "07", {} }, { sessions, {} } })) << "the same folders";
    write(sessions / "07" / "rollout.jsonl", "{}\n");
    EXPECT_TRUE(watcher.readEvents()) << "an append in the new folder";

    // Dropped from the list: its changes no longer count.
    EXPECT_FALSE(watcher.setWatchedFolders({ { sessions / "07", {} } }));
    write(sessions / "elsewhere.jsonl", "{}\n");
    EXPECT_FALSE(watcher.readEvents()) << "a folder no longer listed";

    // The watched folder removed: that is a change too, and the list
    // applied again afterwards skips it without a word.
    fs::remove_all(sessions / "07");
    EXPECT_TRUE(watcher.readEvents()) << "the watched folder removed";
    EXPECT_FALSE(watcher.setWatchedFolders({ { sessions / "07", {} } }));
    EXPECT_FALSE(watcher.readEvents());
}

TEST(FolderWatcher, AnOverflowingQueueCountsAsAChange)
{
    // The queue's length is a limit of the whole machine, read, not set;
    // the events that fill it concern nothing, so only the overflow report
    // itself can make the answer true.
    std::size_t limit = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
    if (limit == 0 || limit > 1'000'000)
        GTEST_SKIP() << "queue length " << limit;
    TemporaryDirectory temporary(TemporaryDirectory::Storage::memory);
    FolderWatcher watcher;
    watcher.setWatchedFolders({ { temporary.path(), { "watched" } } });
    // A modify and a close per round: two different events in a row are
    // never merged into one.
    auto const noise = temporary.path() / "noise";
    for (std::size_t round = 0; round <= limit / 2; ++round) {
        int const descriptor = ::open(noise.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(descriptor, 0);
        ASSERT_EQ(::write(descriptor, "x", 1), 1);
        ::close(descriptor);
    }
    EXPECT_TRUE(watcher.readEvents());
    EXPECT_FALSE(watcher.readEvents()) << "the queue is empty again";
}
