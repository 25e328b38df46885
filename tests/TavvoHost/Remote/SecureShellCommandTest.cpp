#include "TavvoHost/Remote/SecureShellCommand.hpp"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using TavvoHost::ObservationsMode;
using TavvoHost::RemoteCommand;

TEST(SecureShellCommand, RunsTheRemoteProgramWithNothingThatPrompts)
{
    RemoteCommand const command { "/usr/bin/ssh", "~/bin/my tavvo" };
    EXPECT_EQ(TavvoHost::secureShellArguments(command, "me@devbox", ObservationsMode::once),
        (std::vector<std::string> { "/usr/bin/ssh", "-T", "-o", "BatchMode=yes", "-o", "ConnectTimeout=10", "-o",
            "ServerAliveInterval=15", "-o", "ServerAliveCountMax=3", "me@devbox", "--", "'~/bin/my tavvo'", "observations" }));
    auto const watching = TavvoHost::secureShellArguments(RemoteCommand {}, "devbox", ObservationsMode::watch);
    EXPECT_EQ(watching.front(), "ssh");
    EXPECT_EQ(std::vector<std::string>(watching.end() - 3, watching.end()),
        (std::vector<std::string> { "'tavvo'", "observations", "--watch" }));
}

// The remote shell reads the quoted word back as it was.
TEST(SecureShellCommand, QuotesAWordThatAShellReadsBackUnchanged)
{
    for (std::string const word : { "tavvo", "", "it's", "a b", "$(touch x); `y` \"z\" \\ *", "line\nbreak", "''" }) {
        auto const outcome = Foundation::runToCompletion({ "/bin/sh", "-c", "printf %s " + TavvoHost::shellQuoted(word) }, "", 5s, 1024);
        EXPECT_EQ(outcome.exitStatus, 0) << word;
        EXPECT_EQ(outcome.output, word);
    }
}

TEST(SecureShellCommand, SaysWhyNoDocumentCameFromHowSshEnded)
{
    struct Case {
        Foundation::ProcessEnd end;
        std::string lastErrorLine;
        std::string reason;
    };
    Case const cases[] = {
        { { 255, false }, "ssh: connect to host devbox port 22: Connection refused", "ssh: connect to host devbox port 22: Connection refused" },
        { { 255, false }, "", "ssh failed with status 255" },
        { { 127, false }, "bash: line 1: tavvo: command not found",
            "no tavvo there (the remote shell found no such command; see --remote-program)" },
        { { 2, false }, "tavvo: The following argument was not expected: observations",
            "the remote tavvo ended with status 2: tavvo: The following argument was not expected: observations" },
        { { 0, false }, "", "the remote tavvo ended" },
        { { std::nullopt, true }, "", "the connection ended" },
        // What another machine wrote is printed on one line of a terminal.
        { { 1, false }, "bad\x1b[31m\xff", "the remote tavvo ended with status 1: bad?[31m\xef\xbf\xbd" },
    };
    for (auto const& testCase : cases)
        EXPECT_EQ(TavvoHost::endedStreamReason(testCase.end, testCase.lastErrorLine, RemoteCommand {}), testCase.reason);
}
