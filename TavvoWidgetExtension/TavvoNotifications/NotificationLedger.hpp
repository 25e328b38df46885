// NotificationLedger: the notifier's record kept between runs, in
// $XDG_STATE_HOME/tavvo/notifications.json (by default under
// ~/.local/state), replaced whole, owner-only:
//
//   {"limits": [{"provider": "codex", "id": "codex.five_hour",
//                "resetDate": "2026-12-07T15:00:00Z", "highestSeverity": "tight"}],
//    "forecast": {"resetAt": "2026-12-10T00:00:00Z", "runsOutBeforeReset": "told"}}
//
// An unknown reset is absent; so is the forecast before there was one.
#pragma once

#include "TavvoWidgetExtension/TavvoNotifications/LimitNotificationRecord.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace TavvoSurfaces {

// The record's text, and the record in a text: nothing for one that is not
// such a document, even in part.
std::string encodeNotificationRecord(const LimitNotificationRecord& record);
std::optional<LimitNotificationRecord> decodeNotificationRecord(std::string_view text);

class NotificationLedger {
public:
    // The ledger in `file`; nothing: a ledger kept in memory only (no state
    // folder).
    explicit NotificationLedger(std::optional<std::filesystem::path> file);

    struct Reading {
        // Empty when there is no file, or one that cannot be used.
        LimitNotificationRecord record;
        // Why a file that is there cannot be used, as one line.
        std::optional<std::string> problem;
    };

    // What the file holds now.
    Reading read();

    // Replaces the file with `record` unless it already holds it (as read
    // or saved last). Throws std::system_error when it cannot be written.
    void save(const LimitNotificationRecord& record);

private:
    std::optional<std::filesystem::path> m_file;
    std::optional<LimitNotificationRecord> m_stored;
};

} // namespace TavvoSurfaces
