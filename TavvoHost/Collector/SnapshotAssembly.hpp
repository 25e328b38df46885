// The one snapshot the collector publishes, assembled from what the readers
// found: codex first, then claude, each with its status, note, limits and
// freshness, and the Codex analytics when the weekly window is known.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/ClaudeReading.hpp"
#include "TavvoHost/Observation/CodexReading.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetSnapshot.hpp"

namespace TavvoHost {

// Titles and notes are looked up in the language in force. Percentages
// remaining are 100 − used, rounded to the nearest integer and kept within
// 0…100; observation times are cut to whole seconds; `ttl` is the
// freshness policy's time to live.
TavvoWidgetSnapshot assembleSnapshot(const CodexReading& codex, const ClaudeReading& claude, Foundation::Date now,
    std::chrono::seconds ttl);

}
