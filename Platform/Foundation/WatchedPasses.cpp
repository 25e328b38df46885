#include "Platform/Foundation/WatchedPasses.hpp"

#include "Platform/Foundation/TerminationSignals.hpp"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <system_error>
#include <vector>

#include <poll.h>

namespace Foundation {

namespace {

using Steady = std::chrono::steady_clock;

// A timed pass years away is slept towards a day at a time, so that the
// instant stays within the steady clock's range (and a changed wall clock
// is noticed at least daily).
constexpr std::chrono::hours longestSleep { 24 };

// The milliseconds poll(2) sleeps until `deadline`: rounded up, so that it
// never wakes just before and spins; -1 for no deadline.
int pollTimeout(std::optional<Steady::time_point> deadline, Steady::time_point now)
{
    if (!deadline)
        return -1;
    auto const milliseconds = std::chrono::ceil<std::chrono::milliseconds>(std::max(*deadline - now, Steady::duration::zero())).count();
    return static_cast<int>(std::min<std::chrono::milliseconds::rep>(milliseconds, std::numeric_limits<int>::max()));
}

// The changes seen since the last pass, and when the pass they call for
// is due.
class Burst {
public:
    void add(Steady::time_point at)
    {
        if (!m_first)
            m_first = at;
        m_last = at;
    }
    std::optional<Steady::time_point> due() const
    {
        if (!m_first)
            return std::nullopt;
        return std::min(m_last + quietPeriod, *m_first + longestDelay);
    }
    void clear() { m_first.reset(); }

private:
    std::optional<Steady::time_point> m_first;
    Steady::time_point m_last {};
};

}

void runWatchedPasses(const WatchedPasses& passes)
{
    auto const presentDate = passes.clock ? passes.clock : std::function<Date()>(currentDate);
    // Blocked first, so that a request during the first pass (which may
    // read a long history) ends the loop rather than killing the program.
    TerminationSignals signals;
    FolderWatcher watcher;
    Burst burst;
    auto const pass = [&] {
        passes.pass(presentDate());
        burst.clear();
        // What landed in a new folder between the pass's reading and the
        // start of its watch was reported to nobody: one more pass reads it.
        if (watcher.setWatchedFolders(passes.watchedFolders()))
            burst.add(Steady::now());
    };
    pass();
    for (;;) {
        auto const now = Steady::now();
        auto deadline = burst.due();
        if (auto const date = presentDate(); auto const timed = passes.nextTimedPassAt(date)) {
            // Compared before subtracting: an instant far in the past
            // minus now could overflow.
            auto const timedDeadline = *timed <= date ? now : now + std::min<Date::duration>(*timed - date, longestSleep);
            deadline = deadline ? std::min(*deadline, timedDeadline) : timedDeadline;
        }
        // A descriptor of -1 is left out by poll(2). For the write end of a
        // pipe, POLLERR alone (asked for or not) says the reader is gone.
        std::vector<pollfd> ready { { signals.fileDescriptor(), POLLIN, 0 }, { watcher.fileDescriptor(), POLLIN, 0 },
            { passes.endsWhenClosed.value_or(-1), 0, 0 } };
        if (passes.readableDescriptors) {
            for (int const descriptor : passes.readableDescriptors())
                ready.push_back({ descriptor, POLLIN, 0 });
        }
        if (::poll(ready.data(), ready.size(), pollTimeout(deadline, now)) < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "cannot wait for changes");
        }
        if ((ready[0].revents & POLLIN) != 0 && signals.received())
            return;
        if ((ready[2].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
            return;
        if ((ready[1].revents & POLLIN) != 0 && watcher.readEvents())
            burst.add(Steady::now());
        // A pipe whose writer has gone reports POLLHUP rather than POLLIN.
        bool const anyReadable = std::any_of(ready.begin() + 3, ready.end(), [](const pollfd& descriptor) { return descriptor.revents != 0; });
        if (anyReadable && passes.readDescriptors())
            burst.add(Steady::now());
        auto const burstDue = burst.due();
        auto const date = presentDate();
        auto const timed = passes.nextTimedPassAt(date);
        if ((burstDue && *burstDue <= Steady::now()) || (timed && *timed <= date))
            pass();
    }
}

}
