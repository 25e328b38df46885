// The app server's last answer, kept between runs of the collector: the
// server is asked at most every five minutes, so a run that may not ask
// again must still know what the last one learnt, or the snapshot would
// fall back to older logs and lose the account's e-mail.
//
// The file is ours, beside the refresh stamp:
//   {"observedAt": "2026-06-01T07:31:45Z", "planType": "pro", "email": "user@example.com",
//    "windows": [{"windowMinutes": 300, "usedPercent": 25, "resetsAt": "2026-06-01T10:00:00Z"}]}
// planType, email, windowMinutes, usedPercent and resetsAt may be absent.
#pragma once

#include "TavvoHost/Codex/CodexAppServer.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace TavvoHost {

std::string encodeCodexAppServerAnswer(const CodexAppServerAnswer& answer);

// Nothing for a text that is not such a document.
std::optional<CodexAppServerAnswer> decodeCodexAppServerAnswer(std::string_view text);

// Nothing when the file is missing, unreadable or not such a document: the
// next refresh writes it again.
std::optional<CodexAppServerAnswer> readCodexAppServerRecord(const std::filesystem::path& file);

// Replaces the file atomically (0600; its folder made 0700). Throws
// std::system_error when it cannot be written.
void writeCodexAppServerRecord(const std::filesystem::path& file, const CodexAppServerAnswer& answer);

}
