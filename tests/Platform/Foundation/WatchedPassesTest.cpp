#include "Platform/Foundation/WatchedPasses.hpp"

#include "TestSupport/TemporaryDirectory.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <thread>

#include <pthread.h>
#include <unistd.h>
#include <signal.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;
using Foundation::WatchedPasses;

namespace {

// Runs the loop on the test's thread and records each pass; `scene` plays
// on a second thread, as another process would, and then asks the loop
// to end the way a service manager does.
class LoopRun {
public:
    void run(const std::function<void(LoopRun&)>& scene, std::function<std::optional<Foundation::Date>(Foundation::Date)> timed = [](Foundation::Date) { return std::nullopt; })
    {
        pthread_t const loopThread = pthread_self();
        std::thread player;
        bool started = false;
        Foundation::runWatchedPasses({
            [&](Foundation::Date) {
                {
                    std::lock_guard const lock(m_mutex);
                    m_passes.push_back(Steady::now());
                }
                if (!std::exchange(started, true))
                    player = std::thread([&, loopThread] {
                        scene(*this);
                        pthread_kill(loopThread, SIGTERM);
                    });
            },
            [&] {
                // Every folder below the root, as it stands when asked.
                std::vector<Foundation::WatchedFolder> folders { { folder(), {} } };
                for (auto const& entry : fs::recursive_directory_iterator(folder()))
                    if (entry.is_directory())
                        folders.push_back({ entry.path(), {} });
                return folders;
            },
            timed,
        });
        player.join();
    }

    std::vector<Steady::time_point> passes() const
    {
        std::lock_guard const lock(m_mutex);
        return m_passes;
    }

    // Waits (the test may poll; the loop may not) until `count` passes ran.
    bool waitForPasses(std::size_t count) const
    {
        for (auto const until = Steady::now() + 2s; Steady::now() < until; std::this_thread::sleep_for(5ms))
            if (passes().size() >= count)
                return true;
        return false;
    }

    const fs::path& folder() const { return m_temporary.path(); }

private:
    TemporaryDirectory m_temporary;
    mutable std::mutex m_mutex;
    std::vector<Steady::time_point> m_passes;
};

}

// Every loop starts with two passes: the first, and the one that reads
// what the folders watched after it may have received in between.
constexpr std::size_t startingPasses = 2;

TEST(WatchedPasses, ABurstOfChangesIsReadOnceSoonAfterItStarts)
{
    LoopRun loop;
    Steady::time_point firstWrite, lastWrite;
    loop.run([&](LoopRun& run) {
        EXPECT_TRUE(run.waitForPasses(startingPasses));
        firstWrite = Steady::now();
        for (int line = 0; line < 5; ++line) {
            std::ofstream(run.folder() / "rollout.jsonl", std::ios::app) << "{}\n";
            std::this_thread::sleep_for(5ms);
        }
        lastWrite = Steady::now();
        // Long enough for another pass, if the burst were split.
        std::this_thread::sleep_for(400ms);
    });
    auto const passes = loop.passes();
    ASSERT_EQ(passes.size(), startingPasses + 1) << "one for the whole burst";
    EXPECT_GT(passes.back(), lastWrite) << "after the burst, so it reads all of it";
    // The loop's bound is 200 ms; the test allows for a loaded machine (and
    // the sanitizers) and still fails a loop that waits for a later change.
    EXPECT_LT(passes.back() - firstWrite, 1s);
}

TEST(WatchedPasses, ANewFolderIsReadAgainOnceWatchedAndWatchedFromThen)
{
    LoopRun loop;
    bool sawEachPass = true;
    loop.run([&](LoopRun& run) {
        sawEachPass = run.waitForPasses(startingPasses);
        // The pass its creation calls for, then the one after its watch began.
        fs::create_directory(run.folder() / "07");
        sawEachPass = run.waitForPasses(startingPasses + 2) && sawEachPass;
        std::ofstream(run.folder() / "07" / "rollout.jsonl", std::ios::app) << "{}\n";
        sawEachPass = run.waitForPasses(startingPasses + 3) && sawEachPass;
        // Nothing changes now: no pass.
        std::this_thread::sleep_for(300ms);
    });
    EXPECT_TRUE(sawEachPass);
    EXPECT_EQ(loop.passes().size(), startingPasses + 3);
}

TEST(WatchedPasses, TimeAloneCallsForAPassWhenTheSourceSaysSo)
{
    LoopRun loop;
    std::optional<Foundation::Date> timedPass;
    loop.run(
        [&](LoopRun& run) {
            EXPECT_TRUE(run.waitForPasses(startingPasses + 1));
            std::this_thread::sleep_for(300ms);
        },
        [&](Foundation::Date now) {
            // 300 ms after the first time it is asked, until that pass ran.
            if (!timedPass)
                timedPass = now + 300ms;
            return loop.passes().size() <= startingPasses ? timedPass : std::nullopt;
        });
    auto const passes = loop.passes();
    ASSERT_EQ(passes.size(), startingPasses + 1);
    EXPECT_GE(passes.back() - passes.front(), 290ms);
    EXPECT_LT(passes.back() - passes.front(), 2s);
}

// SIGINT reaches the same descriptor (tested with it).
TEST(WatchedPasses, ARequestToEndDuringAPassEndsTheLoopAfterIt)
{
    TemporaryDirectory temporary;
    int passes = 0;
    Foundation::runWatchedPasses({
        [&](Foundation::Date) {
            ++passes;
            raise(SIGTERM);
        },
        [&] { return std::vector<Foundation::WatchedFolder> { { temporary.path(), {} } }; },
        [](Foundation::Date now) { return std::optional(now); },
    });
    EXPECT_EQ(passes, 1) << "the loop returned, before any timed pass";
}

// A program printing to a pipe ends when its reader does, even while it
// sleeps with nothing to print; the passes see the clock it was given.
TEST(WatchedPasses, TheReaderOfTheOutputGoingAwayEndsTheLoop)
{
    TemporaryDirectory temporary;
    int descriptors[2];
    ASSERT_EQ(pipe(descriptors), 0);
    auto const pinned = Foundation::Date(std::chrono::seconds(1'800'000'000));
    std::vector<Foundation::Date> seen;
    std::thread reader([&] {
        std::this_thread::sleep_for(100ms);
        close(descriptors[0]);
    });
    Foundation::runWatchedPasses({
        .pass = [&](Foundation::Date now) { seen.push_back(now); },
        .watchedFolders = [&] { return std::vector<Foundation::WatchedFolder> { { temporary.path(), {} } }; },
        .nextTimedPassAt = [](Foundation::Date) { return std::optional<Foundation::Date>(); },
        .clock = [pinned] { return pinned; },
        .endsWhenClosed = descriptors[1],
    });
    reader.join();
    close(descriptors[1]);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), pinned);
}

// Another program's output read as it comes: what it sends calls for a
// pass or not, as the reader decides; once it has ended, its descriptor is
// no longer waited on, and the loop sleeps again.
TEST(WatchedPasses, ReadableDescriptorsCallForAPassWhenTheirReaderSaysSo)
{
    TemporaryDirectory temporary;
    int descriptors[2];
    ASSERT_EQ(pipe(descriptors), 0);
    int reading = descriptors[0];
    std::string received;
    std::size_t passes = 0;
    std::size_t passesBeforeEnd = 0;
    pthread_t const loopThread = pthread_self();
    std::thread writer([&] {
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(write(descriptors[1], "quiet", 5), 5);
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(write(descriptors[1], "news", 4), 4);
        std::this_thread::sleep_for(300ms);
        close(descriptors[1]);
        std::this_thread::sleep_for(300ms);
        pthread_kill(loopThread, SIGTERM);
    });
    Foundation::runWatchedPasses({
        .pass = [&](Foundation::Date) { ++passes; },
        .watchedFolders = [&] { return std::vector<Foundation::WatchedFolder> { { temporary.path(), {} } }; },
        .nextTimedPassAt = [](Foundation::Date) { return std::optional<Foundation::Date>(); },
        .readableDescriptors = [&] { return reading < 0 ? std::vector<int> {} : std::vector<int> { reading }; },
        .readDescriptors =
            [&] {
                char buffer[16];
                auto const count = read(reading, buffer, sizeof buffer);
                if (count <= 0) {
                    close(std::exchange(reading, -1));
                    passesBeforeEnd = passes;
                    return false;
                }
                received.assign(buffer, static_cast<std::size_t>(count));
                return received == "news";
            },
    });
    writer.join();
    EXPECT_EQ(reading, -1) << "the end was read";
    EXPECT_EQ(passesBeforeEnd, startingPasses + 1) << "one pass for the news, none for the quiet";
    EXPECT_EQ(passes, passesBeforeEnd) << "none after the end";
}
