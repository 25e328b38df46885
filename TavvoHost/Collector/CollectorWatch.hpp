// The loop of `tavvo collect --watch`: a pass at start, then another
// whenever a source changes or time alone calls for one, until the
// program is asked to end.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/FolderWatcher.hpp"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace TavvoHost {

// A burst of changes (a log growing line by line, a file written then
// renamed) is read once: the pass waits for this much quiet after the
// last change, but never longer than `longestDelay` after the first.
inline constexpr std::chrono::milliseconds quietPeriod { 100 };
inline constexpr std::chrono::milliseconds longestDelay { 200 };

// What the loop drives, as functions so that it runs on any source of
// passes.
struct WatchedPasses {
    // One pass at the instant given.
    std::function<void(Foundation::Date now)> pass;
    // The folders whose changes call for the next pass, with the names
    // that matter there; asked again before each pass, so new folders
    // (a new day's logs) are watched from then on.
    std::function<std::vector<Foundation::WatchedFolder>()> watchedFolders;
    // When time alone calls for the next pass; nothing: never. An instant
    // already past means at once, so after a pass it must lie ahead.
    std::function<std::optional<Foundation::Date>(Foundation::Date now)> nextTimedPassAt;
};

// Runs passes until SIGTERM or SIGINT arrives, then returns normally; a
// request that arrives during a pass ends the loop when the pass is done.
// Between passes it sleeps in poll(2) on the folders and the signals with
// no timeout but the next timed pass or the end of a burst: no CPU while
// nothing changes. The signals are blocked in the calling thread while it
// runs (see Foundation::TerminationSignals). Throws std::system_error when
// the folders cannot be watched at all; what a pass throws goes through.
void runWatchedPasses(const WatchedPasses& passes);

}
