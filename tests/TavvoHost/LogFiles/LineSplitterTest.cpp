#include "TavvoHost/LogFiles/LineSplitter.hpp"

#include "TavvoHost/LogFiles/LogFileFixtures.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    std::string name;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
    std::string pending;
    std::int64_t overlong;
};

TEST(LineSplitter, CutsChunksAtNewlinesAndSkipsOverlongLines)
{
    // The cap is 5 bytes for every case.
    std::vector<Case> const cases {
        { "lines inside one chunk", { "ab\ncd\n" }, { "ab", "cd" }, "", 0 },
        { "a line across chunks", { "a", "b", "c\nd" }, { "abc" }, "d", 0 },
        { "blank lines count", { "\n\n" }, { "", "" }, "", 0 },
        { "the last line waits for its newline", { "ab\ncd" }, { "ab" }, "cd", 0 },
        { "exactly the cap", { "12345\n" }, { "12345" }, "", 0 },
        { "one past the cap inside a chunk", { "123456\nok\n" }, { "ok" }, "", 1 },
        { "past the cap across chunks", { "123", "456", "789\nok\n" }, { "ok" }, "", 1 },
        { "an overlong line still open", { "ok\n1234567" }, { "ok" }, "", 1 },
        { "two overlong lines", { "1234567\n1234567\n" }, {}, "", 2 },
    };
    for (auto const& c : cases) {
        TavvoHost::LineSplitter splitter(5);
        CollectedLines collected;
        for (auto const& chunk : c.chunks)
            splitter.feed(chunk, collected);
        EXPECT_EQ(collected.lines, c.lines) << c.name;
        EXPECT_EQ(splitter.pending(), c.pending) << c.name;
        EXPECT_EQ(splitter.overlongLines(), c.overlong) << c.name;
        EXPECT_EQ(splitter.lines(), static_cast<std::int64_t>(c.lines.size())) << c.name;
    }
}

}
