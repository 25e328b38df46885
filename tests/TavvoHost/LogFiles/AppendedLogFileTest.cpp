#include "TavvoHost/LogFiles/AppendedLogFile.hpp"

#include "TavvoHost/LogFiles/LogFileFixtures.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using TavvoHost::AppendedLogFile;
using Outcome = TavvoHost::LogFileRead::Outcome;
using Lines = std::vector<std::string>;

// Reads once and returns the lines delivered by that read alone.
Lines readLines(AppendedLogFile& file, const std::filesystem::path& path, Outcome expected = Outcome::read)
{
    CollectedLines collected;
    EXPECT_EQ(file.read(path, collected).outcome, expected) << path;
    return collected.lines;
}

TEST(AppendedLogFile, ReadsOnlyWhatWasAppendedAndWaitsForTheLastNewline)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "log.jsonl";
    AppendedLogFile file;
    writeFile(path, "a\nb\n");
    EXPECT_EQ(readLines(file, path), (Lines { "a", "b" }));
    EXPECT_EQ(readLines(file, path, Outcome::unchanged), Lines {});

    appendFile(path, "c\npart");
    EXPECT_EQ(readLines(file, path), Lines { "c" });
    appendFile(path, "ial\n");
    EXPECT_EQ(readLines(file, path), Lines { "partial" });
}

TEST(AppendedLogFile, ReadsLinesAcrossChunksWholeAndResumesAfterTheLastOne)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "log.jsonl";
    auto const lines = linesOverSeveralChunks();
    writeFile(path, joinedLines(lines) + "unfinished");
    AppendedLogFile file;
    CollectedLines collected;
    auto const result = file.read(path, collected);
    EXPECT_EQ(collected.lines, lines);
    EXPECT_EQ(result.lines, static_cast<std::int64_t>(lines.size()));

    appendFile(path, " at last\n");
    EXPECT_EQ(readLines(file, path), Lines { "unfinished at last" });
}

TEST(AppendedLogFile, StartsOverWhenTheFileShrankOrWasReplaced)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "log.jsonl";
    AppendedLogFile file;
    writeFile(path, "one\ntwo\n");
    readLines(file, path);

    writeFile(path, "new\n"); // truncated in place and rewritten shorter
    CollectedLines collected;
    auto const shrunk = file.read(path, collected);
    EXPECT_TRUE(shrunk.fromStart);
    EXPECT_EQ(collected.starts, 1);
    EXPECT_EQ(collected.lines, Lines { "new" });

    // A longer file renamed into place is another inode.
    writeFile(folder.path() / "next", "first\nsecond\nthird\n");
    std::filesystem::rename(folder.path() / "next", path);
    EXPECT_EQ(readLines(file, path), (Lines { "first", "second", "third" }));
}

TEST(AppendedLogFile, NeverOpensAnythingButARegularFile)
{
    TemporaryDirectory folder;
    auto const fifo = folder.path() / "fifo.jsonl";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto const zero = folder.path() / "zero.jsonl";
    std::filesystem::create_symlink("/dev/zero", zero);
    auto const socketPath = folder.path() / "socket.jsonl";
    int const listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // A FIFO without a writer would block a blocking open; these return at once.
    for (auto const& path : { fifo, zero, socketPath }) {
        AppendedLogFile file;
        readLines(file, path, Outcome::notRegular);
    }
    ::close(listener);

    AppendedLogFile missing;
    CollectedLines collected;
    auto const result = missing.read(folder.path() / "missing.jsonl", collected);
    EXPECT_EQ(result.outcome, Outcome::failed);
    EXPECT_EQ(result.error, std::errc::no_such_file_or_directory);
}

long peakResidentKilobytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(AppendedLogFile, SkipsAHundredMegabyteLineWithinBoundedMemory)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "log.jsonl";
    writeFile(path, "before\n");
    std::string const megabyte(1 << 20, 'x');
    for (int i = 0; i < 100; ++i)
        appendFile(path, megabyte);

    long const peakBefore = peakResidentKilobytes();
    AppendedLogFile file;
    CollectedLines collected;
    auto const first = file.read(path, collected);
    EXPECT_EQ(collected.lines, Lines { "before" });
    EXPECT_EQ(first.overlongLines, 1);
    // The line's cap (1 MiB) and a chunk, with room for the allocator.
    EXPECT_LT(peakResidentKilobytes() - peakBefore, 8 * 1024);

    // Its end arrives later: the skipped bytes are not read again.
    appendFile(path, "tail of the long line\nafter\n");
    CollectedLines later;
    auto const second = file.read(path, later);
    EXPECT_EQ(later.lines, Lines { "after" });
    EXPECT_EQ(second.overlongLines, 0);
    EXPECT_EQ(second.lines, 1);
}

}
