#include "TavvoHost/Remote/RemoteStreams.hpp"

#include "FakeHosts.hpp"

#include <gtest/gtest.h>

#include <poll.h>

using namespace std::chrono_literals;
using TavvoHost::MachineObservations;
using TavvoHost::RemoteStreams;

namespace {

Foundation::Date const now = at("2026-06-03T12:00:00Z");

// Waits on the streams, as the collector's loop does, and reads them as
// of `readAt` until `done` holds, for at most ten seconds.
bool readUntil(RemoteStreams& streams, Foundation::Date readAt, const std::function<bool()>& done)
{
    for (auto const until = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < until;) {
        if (done())
            return true;
        std::vector<pollfd> ready;
        for (int const descriptor : streams.descriptors())
            ready.push_back({ descriptor, POLLIN, 0 });
        ::poll(ready.data(), ready.size(), 100);
        streams.read(readAt);
    }
    return done();
}

}

// A stream that ends keeps its machine's last document, says why once, and
// starts again after a delay that doubles while it brings nothing and
// falls back after a document.
TEST(RemoteStreams, KeepsTheLatestDocumentAndStartsAnEndedStreamAgainLater)
{
    FakeHosts hosts;
    auto const first = codexWeeklyObservations(now - 2min, 10);
    auto const second = codexWeeklyObservations(now - 1min, 20);
    hosts.write("first.document", TavvoHost::encodeMachineObservations(first));
    hosts.write("second.document", TavvoHost::encodeMachineObservations(second));
    // Two documents, then the end; on the next runs, a greeting it refuses.
    hosts.add("devbox", "[ \"$(wc -l <\"$TAVVO_FAKE_SSH_HOSTS/devbox.starts\")\" -gt 1 ] && { echo hello; exit 3; }\n"
                        "cat \"$TAVVO_FAKE_SSH_HOSTS/first.document\"; sleep 0.2; cat \"$TAVVO_FAKE_SSH_HOSTS/second.document\"");
    RemoteStreams streams({ "devbox", "nowhere" }, hosts.command());
    streams.startDue(now);
    ASSERT_TRUE(readUntil(streams, now, [&] { return streams.descriptors().empty(); }));
    EXPECT_EQ(streams.observations(), (std::vector<MachineObservations> { second }));
    EXPECT_EQ(streams.problems(), (std::vector<std::string> {
                                      "remote devbox: the remote tavvo ended",
                                      "remote nowhere: ssh: Could not resolve hostname nowhere: Name or service not known",
                                  }));
    EXPECT_EQ(streams.nextStartAt(), now + 1s);

    // Not yet due: nothing starts, so the start is still ahead.
    streams.startDue(now + 999ms);
    EXPECT_EQ(streams.nextStartAt(), now + 1s);
    streams.startDue(now + 1s);
    EXPECT_EQ(streams.nextStartAt(), std::nullopt);
    ASSERT_TRUE(readUntil(streams, now + 1s, [&] { return streams.descriptors().empty(); }));
    // The stand-in counts its starts as it runs: only once it has ended
    // is the count sure.
    EXPECT_EQ(hosts.starts("devbox"), 2U);
    // The refused line is the problem, and the last good document stays.
    EXPECT_EQ(streams.observations(), (std::vector<MachineObservations> { second }));
    ASSERT_EQ(streams.problems().size(), 2U);
    EXPECT_TRUE(streams.problems().front().starts_with("remote devbox: refused its document: ")) << streams.problems().front();
    // devbox brought nothing this time: 2 s; nowhere never did: 1 + 2 s.
    EXPECT_EQ(streams.nextStartAt(), now + 1s + 2s);
}

TEST(RemoteStreams, TheDelayDoublesUpToFiveMinutes)
{
    FakeHosts hosts;
    RemoteStreams streams({ "nowhere" }, hosts.command());
    auto startAt = now;
    std::vector<std::chrono::seconds> delays;
    for (int attempt = 0; attempt < 11; ++attempt) {
        streams.startDue(startAt);
        ASSERT_TRUE(readUntil(streams, startAt, [&] { return streams.descriptors().empty(); }));
        auto const next = streams.nextStartAt();
        ASSERT_TRUE(next);
        delays.push_back(std::chrono::duration_cast<std::chrono::seconds>(*next - startAt));
        startAt = *next;
    }
    EXPECT_EQ(delays, (std::vector<std::chrono::seconds> { 1s, 2s, 4s, 8s, 16s, 32s, 64s, 128s, 256s, 300s, 300s }));
    EXPECT_EQ(hosts.starts("nowhere"), 0U) << "never resolved";
}
