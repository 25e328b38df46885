// ClaudeCachedUsage: the usage figures some versions of Claude Code cache
// in their settings file (~/.claude.json, or .claude.json in
// $CLAUDE_CONFIG_DIR), the fallback for the windows no newer status-line
// feed holds. Two shapes of it are known, and a file may hold either,
// both or neither:
//
//   {"cachedUsageUtilization":{"fetchedAtMs":1787536800000,
//     "utilization":{"five_hour":{"utilization":2,"resets_at":"2026-08-24T02:59:59Z"},
//                    "seven_day":{"utilization":17,"resets_at":"2026-08-28T09:00:00Z"}}}}
//
//   {"cachedUsageUtilization":{"fetchedAtMs":1788500671609,"utilization":{"limits":[
//     {"kind":"session","percent":33,"resets_at":"2026-09-04T07:50:00.439964+00:00",…},
//     {"kind":"weekly_all","percent":64,"resets_at":"2026-09-04T18:00:00.439983+00:00",…},
//     {"kind":"weekly_scoped","percent":10,"resets_at":null,"scope":{"model":{"display_name":"Opus"}},…}]}}}
//
// The file is large and holds settings that are none of our business: only
// that one key is read, and the file is never written.
#pragma once

#include "Platform/Foundation/FileIdentity.hpp"
#include "TavvoHost/Claude/ClaudeFileReading.hpp"
#include "TavvoHost/Observation/ClaudeReading.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

namespace TavvoHost {

// A settings file longer than this is refused rather than read.
inline constexpr std::size_t maximumClaudeSettingsLength = 64 * 1024 * 1024;

// The observation under the top-level key `cachedUsageUtilization`,
// observed at `fetchedAtMs` (to the second). Where both shapes hold a
// window, the `limits` list's counts. Nothing when the key is absent or
// not an object, its time is missing or outside the years 2000–9999, it
// holds no window in either shape (no reading, which must not hide an
// older one), or the text is not JSON up to the end of that key's value;
// what follows the value is not read.
std::optional<ClaudeObservation> parseClaudeCachedUsage(std::string_view text);

// Reads the settings file at `file`. One without the key, or not JSON, is
// present with no observation and no problem: the key is undocumented and
// its absence is normal.
ClaudeFileReading readClaudeCachedUsage(const std::filesystem::path& file);

// The same reading, pass after pass. Claude Code rewrites the file for
// reasons of its own and it can hold megabytes, while a watching collector
// passes at every change of any source: the file is parsed again only when
// its path or identity changed, and the last reading stands otherwise.
class ClaudeCachedUsageReader {
public:
    ClaudeFileReading read(const std::filesystem::path& file);

private:
    std::filesystem::path m_path;
    std::optional<Foundation::FileIdentity> m_identity;
    ClaudeFileReading m_reading;
};

}
