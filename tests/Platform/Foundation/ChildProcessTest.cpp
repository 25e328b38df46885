#include "Platform/Foundation/ChildProcess.hpp"

#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/SystemError.hpp"
#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <signal.h>

using namespace std::chrono_literals;
using Foundation::ChildProcess;
using Foundation::runToCompletion;

namespace {

// The pipes and process descriptors open in this process: those a child
// could leave behind.
std::size_t openChildDescriptorCount()
{
    std::size_t count = 0;
    for (auto const& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        auto const target = std::filesystem::read_symlink(entry.path(), error).string();
        count += target.starts_with("pipe:") || target == "anon_inode:[pidfd]";
    }
    return count;
}

// A process that is gone and reaped; a zombie still answers signal 0.
bool isReaped(pid_t process)
{
    return ::kill(process, 0) != 0 && errno == ESRCH;
}

bool isBrokenPipePending()
{
    sigset_t pending;
    ::sigpending(&pending);
    return ::sigismember(&pending, SIGPIPE) == 1;
}

}

TEST(ChildProcess, EchoesLinesThroughCat)
{
    ChildProcess child({ "cat" });
    auto const deadline = ChildProcess::Clock::now() + 5s;
    child.writeAll("first\nsecond\nlast without newline", deadline);
    child.closeInput();
    EXPECT_EQ(child.readLine(100, deadline), "first");
    EXPECT_EQ(child.readLine(100, deadline), "second");
    EXPECT_EQ(child.readLine(100, deadline), "last without newline");
    EXPECT_EQ(child.readLine(100, deadline), std::nullopt);
    EXPECT_EQ(child.finish(deadline), (Foundation::ProcessEnd { 0, false }));

    // More than both pipes hold at once: writing and reading must take
    // turns, or each side waits for the other until the deadline.
    std::string const large(4 * 1024 * 1024, 'x');
    auto const outcome = runToCompletion({ "cat" }, large, 10s, large.size() + 1);
    EXPECT_EQ(outcome.output, large);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_FALSE(outcome.timedOut);
    // A timeout as long as the clock goes is no overflow.
    EXPECT_EQ(runToCompletion({ "cat" }, "x", std::chrono::milliseconds::max(), 10).output, "x");
}

TEST(ChildProcess, ReadsLinesUpToTheirLimit)
{
    ChildProcess child({ "printf", "12345\\n123456\\n" });
    auto const deadline = ChildProcess::Clock::now() + 5s;
    EXPECT_EQ(child.readLine(5, deadline), "12345");
    expectSystemError([&] { child.readLine(5, deadline); }, EMSGSIZE, "cannot read from printf: Message too long");
}

TEST(ChildProcess, SurvivesAChildThatExitsWithoutReadingItsInput)
{
    std::string const input(1024 * 1024, 'x');
    auto const outcome = runToCompletion({ "sh", "-c", "echo early; exit 3" }, input, 5s, 100);
    EXPECT_EQ(outcome.output, "early\n");
    EXPECT_EQ(outcome.exitStatus, 3);
    EXPECT_FALSE(outcome.timedOut);

    ChildProcess child({ "true" });
    auto const deadline = ChildProcess::Clock::now() + 5s;
    EXPECT_EQ(child.readLine(100, deadline), std::nullopt);
    expectSystemError([&] { child.writeAll(input, deadline); }, EPIPE, "cannot write to true: Broken pipe");
    EXPECT_FALSE(isBrokenPipePending());
}

TEST(ChildProcess, KillsAndReapsASilentChildAtTheDeadline)
{
    auto const started = ChildProcess::Clock::now();
    auto const outcome = runToCompletion({ "sh", "-c", "echo $$; exec sleep 30" }, "", 300ms, 100);
    EXPECT_LT(ChildProcess::Clock::now() - started, 3s);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_EQ(outcome.exitStatus, std::nullopt);
    EXPECT_TRUE(isReaped(std::stoi(outcome.output)));

    pid_t silent = 0;
    {
        ChildProcess child({ "sh", "-c", "echo $$; exec sleep 30" });
        auto const deadline = ChildProcess::Clock::now() + 300ms;
        silent = std::stoi(child.readLine(100, deadline).value());
        expectSystemError([&] { child.readLine(100, deadline); }, ETIMEDOUT, "cannot read from sh: Connection timed out");
    }
    EXPECT_TRUE(isReaped(silent)) << "the destructor leaves no child behind";

    ChildProcess waiting({ "sh", "-c", "echo $$; exec sleep 30" });
    auto const deadline = ChildProcess::Clock::now() + 300ms;
    pid_t const killed = std::stoi(waiting.readLine(100, deadline).value());
    EXPECT_EQ(waiting.finish(deadline), (Foundation::ProcessEnd { std::nullopt, true }));
    EXPECT_TRUE(isReaped(killed));
}

TEST(ChildProcess, CapsALargeOutput)
{
    auto const outcome = runToCompletion({ "yes" }, "", 10s, 1000);
    EXPECT_EQ(outcome.output.size(), 1000u);
    EXPECT_EQ(outcome.output.substr(0, 4), "y\ny\n");
    EXPECT_FALSE(outcome.timedOut) << "closing the output ends a child that only writes";
}

TEST(ChildProcess, TheChildBlocksNoSignalItsParentBlocks)
{
    // A parent that reads SIGTERM from a descriptor blocks it; a child
    // that kept the mask could not be stopped with it.
    sigset_t terminate, previous;
    sigemptyset(&terminate);
    sigaddset(&terminate, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &terminate, &previous);
    auto const outcome = runToCompletion({ "grep", "^SigBlk:", "/proc/self/status" }, "", 10s, 1000);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    EXPECT_EQ(outcome.output, "SigBlk:\t0000000000000000\n");
}

TEST(ChildProcess, RefusesProgramsThatCannotStart)
{
    TemporaryDirectory folder;
    auto const notExecutable = folder.path() / "not-executable";
    std::ofstream(notExecutable) << "#!/bin/sh\n";

    expectSystemError([] { ChildProcess child({}); }, EINVAL, "cannot start a program without a name: Invalid argument");
    expectSystemError([&] { ChildProcess child({ notExecutable.string() }); }, EACCES,
        "cannot start " + notExecutable.string() + ": Permission denied");
    // The search path is the one in force when the child starts: here, a
    // folder without the program.
    ScopedEnvironment emptyPath { { "PATH", folder.path().string() } };
    expectSystemError([] { runToCompletion({ "cat" }, "", 1s, 10); }, ENOENT, "cannot start cat: No such file or directory");
}

TEST(ChildProcess, LeavesNoDescriptorOpen)
{
    std::size_t const before = openChildDescriptorCount();
    runToCompletion({ "cat" }, "x", 5s, 10);
    runToCompletion({ "sh", "-c", "exec sleep 30" }, "", 100ms, 10);
    { ChildProcess abandoned({ "cat" }); }
    EXPECT_THROW(runToCompletion({ "tavvo-test-no-such-program" }, "", 1s, 10), std::system_error);
    EXPECT_EQ(openChildDescriptorCount(), before);
}
