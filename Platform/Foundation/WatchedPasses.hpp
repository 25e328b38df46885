// WatchedPasses: the loop of a long-running program that redoes one piece
// of work (a pass) at start, then whenever a watched file changes or time
// alone calls for it, until it is asked to end.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/FolderWatcher.hpp"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace Foundation {

// A burst of changes (a log growing line by line, a file written then
// renamed, a file replaced a thousand times a second) is handled once: the
// pass waits for this much quiet after the last change, but never longer
// than `longestDelay` after the first.
inline constexpr std::chrono::milliseconds quietPeriod { 100 };
inline constexpr std::chrono::milliseconds longestDelay { 200 };

// What the loop drives, as functions so that it runs on any source of
// passes.
struct WatchedPasses {
    // One pass at the instant given.
    std::function<void(Date now)> pass;
    // The folders whose changes call for the next pass, with the names
    // that matter there; asked again after each pass, so new folders
    // (a new day's logs, a shared folder made later) are watched from then
    // on.
    std::function<std::vector<WatchedFolder>()> watchedFolders;
    // When time alone calls for the next pass; nothing: never. An instant
    // already past means at once, so after a pass it must lie ahead.
    std::function<std::optional<Date>(Date now)> nextTimedPassAt;
    // The instant passes and timed passes are judged by; empty: the
    // system clock.
    std::function<Date()> clock = {};
    // A descriptor whose other end going away ends the loop, such as
    // standard output read by a pipe; nothing: none.
    std::optional<int> endsWhenClosed = std::nullopt;
    // Descriptors to wait on for reading beside the folders, such as the
    // output of other programs; asked again before each wait. Empty: none.
    std::function<std::vector<int>()> readableDescriptors = {};
    // Called when one of them turned readable, to take what is there;
    // true when what it took calls for a pass, which then comes as after a
    // folder's change.
    std::function<bool()> readDescriptors = {};
};

// Runs passes until SIGTERM or SIGINT arrives, or the reader of
// `endsWhenClosed` goes away, then returns normally; a request that
// arrives during a pass ends the loop when the pass is done. Between passes
// it sleeps in poll(2) on the folders, the readable descriptors and the
// signals with no timeout but
// the next timed pass or the end of a burst: no CPU while nothing changes.
// The signals are blocked in the calling thread while it runs (see
// TerminationSignals). Throws std::system_error when the folders cannot be
// watched at all; what a pass throws goes through.
void runWatchedPasses(const WatchedPasses& passes);

}
