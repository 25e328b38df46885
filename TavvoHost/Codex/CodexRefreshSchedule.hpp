// CodexRefreshSchedule: when `tavvo collect` may ask the Codex app server
// for fresh limits, and the stamp that remembers the last time it did.
//
// The server needs the network and the user's login, and is slow to
// start: it is asked only when the logs hold nothing fresh, and never more
// often than every five minutes, across runs of the collector as well as
// within one.
#pragma once

#include "Platform/Foundation/Date.hpp"

#include <chrono>
#include <filesystem>
#include <optional>

namespace TavvoHost {

inline constexpr std::chrono::minutes codexRefreshInterval { 5 };

// The instant from which a refresh is due, never earlier than `now` (then
// it is due now): once the newest observation is `ttl` old (at once when
// there is none), and no earlier than the refresh interval after the last
// attempt. An attempt later than `now` is ignored:
// the clock was set back, and honouring it could hold refreshes off for as
// long as it was set back; ignoring it costs at most one early attempt.
//
//   dueAt(nothing, nothing, 900s, now) == now
//   dueAt(now − 1h, now − 1min, 900s, now) == now + 4min
//   dueAt(now − 1min, nothing, 900s, now) == now + 14min
Foundation::Date codexRefreshDueAt(std::optional<Foundation::Date> newestObservedAt,
    std::optional<Foundation::Date> lastAttemptAt, std::chrono::seconds ttl, Foundation::Date now);

inline bool isCodexRefreshDue(std::optional<Foundation::Date> newestObservedAt,
    std::optional<Foundation::Date> lastAttemptAt, std::chrono::seconds ttl, Foundation::Date now)
{
    return now >= codexRefreshDueAt(newestObservedAt, lastAttemptAt, ttl, now);
}

// The last attempt, kept in a small file as Unix seconds. The file's folder
// is made private (0700) when it is created.
class CodexRefreshStamp {
public:
    explicit CodexRefreshStamp(std::filesystem::path path);

    // $XDG_STATE_HOME/tavvo/codex-refresh, else ~/.local/state/tavvo/…;
    // nothing when neither folder is an absolute path.
    static std::optional<std::filesystem::path> defaultPath();

    // The later of the stamp on disk and the last attempt this object
    // recorded: a stamp that could not be written still holds within one
    // run. Nothing when neither is known (a missing, unreadable or garbled
    // file counts as none).
    std::optional<Foundation::Date> lastAttempt() const;

    // Remembers an attempt at `at` (whole seconds). Throws std::system_error
    // when the file cannot be written; the attempt is remembered in memory
    // all the same.
    void record(Foundation::Date at);

private:
    std::filesystem::path m_path;
    std::optional<Foundation::Date> m_recorded;
};

}
