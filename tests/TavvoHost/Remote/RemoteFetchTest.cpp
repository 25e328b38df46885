#include "TavvoHost/Remote/RemoteFetch.hpp"

#include "FakeHosts.hpp"
#include "Platform/Foundation/LineStreamChild.hpp"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

Foundation::Date const now = at("2026-06-03T12:00:00Z");

}

// Every machine is asked at once: the slow ones cost the deadline once,
// not each; each failure is one line naming its host, and the documents
// that came are taken.
TEST(RemoteFetch, AsksEveryMachineAtOnceAndReportsEachFailure)
{
    FakeHosts hosts;
    auto const first = codexWeeklyObservations(now - 1min, 12.5);
    auto const second = codexWeeklyObservations(now - 2min, 40);
    hosts.write("first.document", TavvoHost::encodeMachineObservations(first));
    hosts.write("second.document", TavvoHost::encodeMachineObservations(second));
    hosts.add("first", "cat \"$TAVVO_FAKE_SSH_HOSTS/first.document\"");
    hosts.add("second", "sleep 0.5; cat \"$TAVVO_FAKE_SSH_HOSTS/second.document\"");
    hosts.add("garbage", "echo 'Welcome to devbox!'");
    hosts.add("without-tavvo", "echo 'sh: 1: tavvo: not found' >&2; exit 127");
    hosts.add("older", "echo \"tavvo: The following argument was not expected: observations\" >&2; exit 2");
    hosts.add("silent", "exec sleep 60");
    hosts.add("trickle", "while :; do printf x; sleep 0.1; done");
    hosts.add("endless", "exec tr '\\0' x </dev/zero");

    auto const started = std::chrono::steady_clock::now();
    auto const fetched = TavvoHost::fetchRemoteObservations(
        { "garbage", "first", "nowhere", "without-tavvo", "silent", "second", "older", "trickle", "endless" }, hosts.command(), now, 2s);
    auto const took = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(fetched.machines, (std::vector<TavvoHost::MachineObservations> { first, second }));
    ASSERT_EQ(fetched.problems.size(), 7U);
    EXPECT_TRUE(fetched.problems[0].starts_with("remote garbage: refused its document: ")) << fetched.problems[0];
    EXPECT_EQ(fetched.problems[1], "remote nowhere: ssh: Could not resolve hostname nowhere: Name or service not known");
    EXPECT_EQ(fetched.problems[2], "remote without-tavvo: no tavvo there (the remote shell found no such command; see --remote-program)");
    EXPECT_EQ(fetched.problems[3], "remote silent: no answer within 2 s");
    EXPECT_EQ(fetched.problems[4], "remote older: the remote tavvo ended with status 2: tavvo: The following argument was not expected: observations");
    EXPECT_EQ(fetched.problems[5], "remote trickle: no answer within 2 s");
    EXPECT_EQ(fetched.problems[6], "remote endless: refused a line longer than 262144 bytes");
    // The deadline, and the grace of the machines ended at it.
    EXPECT_LT(took, 2s + 3 * Foundation::LineStreamChild::endingGrace);
}
