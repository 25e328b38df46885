#include "Platform/Foundation/FileIdentity.hpp"

#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>

namespace fs = std::filesystem;
using Foundation::FileIdentity;
using Foundation::FileTime;

namespace {

// 2026-06-08T12:00:00.250Z
constexpr std::int64_t nowSeconds = 1'780'920'000;
Foundation::Date const now { std::chrono::seconds(nowSeconds) + std::chrono::milliseconds(250) };

FileIdentity modifiedAt(std::int64_t seconds, std::int64_t nanoseconds)
{
    FileIdentity identity;
    identity.modified = { seconds, nanoseconds };
    return identity;
}

}

TEST(FileIdentity, SettlesOneTickOfItsFileSystemsClockAfterItsLastModification)
{
    struct Case {
        const char* what;
        FileTime modified;
        bool settled;
    };
    Case const cases[] {
        // Fine times: a tick of a few milliseconds, 100 ms to spare.
        { "fine, 50 ms before", { nowSeconds, 200'000'000 }, false },
        { "fine, 100 ms before", { nowSeconds, 150'000'000 }, false },
        { "fine, 150 ms before", { nowSeconds, 100'000'000 }, true },
        { "fine, the second before", { nowSeconds - 1, 900'000'000 }, true },
        { "fine, after now", { nowSeconds, 300'000'000 }, false },
        // Whole seconds: perhaps a file system of two-second ticks.
        { "whole, this second", { nowSeconds, 0 }, false },
        { "whole, 2 s before", { nowSeconds - 2, 0 }, false },
        { "whole, 3 s before", { nowSeconds - 3, 0 }, true },
        { "whole, 4 s before", { nowSeconds - 4, 0 }, true },
        // Times no Date holds are compared all the same.
        { "before any Date", { std::numeric_limits<std::int64_t>::min(), 1 }, true },
        { "after any Date", { std::numeric_limits<std::int64_t>::max(), 0 }, false },
    };
    for (auto const& test : cases) {
        auto const identity = modifiedAt(test.modified.seconds, test.modified.nanoseconds);
        EXPECT_EQ(identity.isSettled(now), test.settled) << test.what;
    }
    EXPECT_FALSE(modifiedAt(nowSeconds, 250'000'000).isModifiedBefore(now)) << "at the same instant";
    EXPECT_TRUE(modifiedAt(nowSeconds, 249'999'000).isModifiedBefore(now));
    EXPECT_FALSE(modifiedAt(nowSeconds, 250'000'999).isModifiedBefore(now)) << "later within the same microsecond";
}

// An appended file is another state of the same file; one renamed over it
// is another file. (Rewrites that keep the size and the modification time
// are the readers' tests: the JSON object files', the Claude settings'.)
TEST(FileIdentity, TellsAnotherStateOfTheSameFileFromAnotherFile)
{
    TemporaryDirectory folder;
    auto const path = folder.path() / "file";
    auto const identity = [&] { return Foundation::fileStatus(path)->identity; };
    std::ofstream(path) << "abc";
    auto const first = identity();
    EXPECT_EQ(first.size, 3);
    EXPECT_EQ(identity(), first);

    std::ofstream(path, std::ios::app) << "def";
    auto const appended = identity();
    EXPECT_EQ(appended.size, 6);
    EXPECT_NE(appended, first);
    EXPECT_TRUE(appended.isSameFile(first));

    std::ofstream(folder.path() / "next") << "abcdef";
    fs::rename(folder.path() / "next", path);
    EXPECT_FALSE(identity().isSameFile(first));

    EXPECT_EQ(Foundation::fileStatus(folder.path())->kind, Foundation::FileKind::folder);
    EXPECT_EQ(Foundation::fileStatus(path)->kind, Foundation::FileKind::regularFile);
    EXPECT_FALSE(Foundation::fileStatus(folder.path() / "missing"));
}
