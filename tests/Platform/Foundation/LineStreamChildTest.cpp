#include "Platform/Foundation/LineStreamChild.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>

using namespace std::chrono_literals;
using Foundation::LineStreamChild;
using Foundation::StreamedLines;

namespace {

// Everything the child writes until its output ends or `limit` passes,
// read as a caller polling it beside other work would.
StreamedLines readToEnd(LineStreamChild& child, std::chrono::seconds limit = 30s)
{
    auto const deadline = LineStreamChild::Clock::now() + limit;
    StreamedLines all;
    while (!child.outputEnded() && LineStreamChild::Clock::now() < deadline) {
        std::vector<pollfd> ready;
        for (int const descriptor : child.descriptors())
            ready.push_back({ descriptor, POLLIN, 0 });
        ::poll(ready.data(), ready.size(), 100);
        auto arrived = child.readLines();
        all.lines.insert(all.lines.end(), arrived.lines.begin(), arrived.lines.end());
        all.droppedLines += arrived.droppedLines;
    }
    return all;
}

std::vector<std::string> shell(const std::string& script)
{
    return { "/bin/sh", "-c", script };
}

long peakResidentKilobytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool isReaped(pid_t process)
{
    return ::kill(process, 0) != 0 && errno == ESRCH;
}

}

TEST(LineStreamChild, TakesWholeLinesHoweverTheyAreWritten)
{
    struct Case {
        const char* script;
        StreamedLines expected;
    };
    Case const cases[] = {
        // A line cut across writes comes once, whole.
        { "printf 'fir'; sleep 0.1; printf 'st\\nsec'; sleep 0.1; printf 'ond\\n'", { { "first", "second" }, 0 } },
        // A last piece with no newline was cut off: no whole line.
        { "printf 'one\\ncut off'", { { "one" }, 0 } },
        // Empty lines are lines; a line of exactly the maximum is kept.
        { "printf '\\n0123456789\\n'", { { "", "0123456789" }, 0 } },
        // One byte over the maximum is dropped up to its newline, and the
        // next line comes as usual.
        { "printf '01234567890\\nafter\\n'", { { "after" }, 1 } },
        { "printf '0123456'; sleep 0.1; printf '7890123'; sleep 0.1; printf '456\\nafter\\n'", { { "after" }, 1 } },
        { "", { {}, 0 } },
    };
    for (auto const& testCase : cases) {
        LineStreamChild child(shell(testCase.script), 10);
        EXPECT_EQ(readToEnd(child), testCase.expected) << testCase.script;
        EXPECT_EQ(child.finish(LineStreamChild::Clock::now() + 5s).exitStatus, 0) << testCase.script;
    }
}

TEST(LineStreamChild, ASlowTrickleComesLineByLine)
{
    LineStreamChild child(shell("for i in 1 2 3; do printf \"line $i\"; sleep 0.05; printf '\\n'; sleep 0.05; done"), 100);
    EXPECT_EQ(readToEnd(child), (StreamedLines { { "line 1", "line 2", "line 3" }, 0 }));
}

TEST(LineStreamChild, AGigabyteWithoutNewlineKeepsMemoryBounded)
{
    long const before = peakResidentKilobytes();
    LineStreamChild child(shell("head -c 1073741824 /dev/zero; printf '\\nafter\\n'"), 256 * 1024);
    EXPECT_EQ(readToEnd(child, 300s), (StreamedLines { { "after" }, 1 }));
    // Far below the gigabyte: the line is never held, only its first
    // quarter megabyte and a chunk or two of reading.
    EXPECT_LT(peakResidentKilobytes() - before, 16 * 1024);
}

TEST(LineStreamChild, ReportsTheExitStatusAndTheLastErrorLine)
{
    LineStreamChild child(shell("echo first problem >&2; echo 'last problem  ' >&2; echo >&2; echo out; exit 255"), 100);
    EXPECT_EQ(readToEnd(child), (StreamedLines { { "out" }, 0 }));
    auto const end = child.finish(LineStreamChild::Clock::now() + 5s);
    EXPECT_EQ(end, (Foundation::ProcessEnd { 255, false }));
    EXPECT_EQ(child.lastErrorLine(), "last problem");
}

TEST(LineStreamChild, KeepsOnlyTheEndOfAHugeErrorStream)
{
    long const before = peakResidentKilobytes();
    LineStreamChild child(shell("head -c 100000000 /dev/zero | tr '\\0' x >&2; printf '\\nwhy\\n' >&2; exit 3"), 100);
    EXPECT_EQ(readToEnd(child), (StreamedLines {}));
    EXPECT_EQ(child.finish(LineStreamChild::Clock::now() + 30s).exitStatus, 3);
    EXPECT_EQ(child.lastErrorLine(), "why");
    EXPECT_LT(peakResidentKilobytes() - before, 16 * 1024);
}

TEST(LineStreamChild, EndsAChildThatIgnoresTheRequestToEnd)
{
    pid_t process = 0;
    auto const started = LineStreamChild::Clock::now();
    {
        LineStreamChild child(shell("trap '' TERM; echo $$; while :; do sleep 1; done"), 100);
        StreamedLines first;
        while (first.lines.empty() && LineStreamChild::Clock::now() < started + 10s)
            first = child.readLines();
        ASSERT_EQ(first.lines.size(), 1U);
        process = std::stoi(first.lines.front());
        EXPECT_FALSE(child.outputEnded());
    }
    EXPECT_TRUE(isReaped(process));
    EXPECT_GE(LineStreamChild::Clock::now() - started, LineStreamChild::endingGrace);
}

TEST(LineStreamChild, EndsAChildThatHonoursTheRequestAtOnce)
{
    auto const started = LineStreamChild::Clock::now();
    {
        LineStreamChild child(shell("exec sleep 60"), 100);
    }
    EXPECT_LT(LineStreamChild::Clock::now() - started, LineStreamChild::endingGrace);
}

TEST(LineStreamChild, AProgramThatCannotStartThrows)
{
    EXPECT_THROW(LineStreamChild({ "/nonexistent/program" }, 100), std::system_error);
    EXPECT_THROW(LineStreamChild({}, 100), std::system_error);
}
