#include "TavvoHost/LogFiles/AppendedLogFile.hpp"

#include "TavvoHost/LogFiles/LogFileFixtures.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/resource.h>

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
