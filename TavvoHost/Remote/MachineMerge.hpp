// The readings of several machines made one, as if one machine had seen
// everything: limits belong to the account, not to the machine whose
// records tell them, so the newest observation of a window is the truth
// wherever it was made.
#pragma once

#include "TavvoHost/Observation/ClaudeReading.hpp"
#include "TavvoHost/Observation/CodexReading.hpp"

#include <vector>

namespace TavvoHost {

// What every machine observed, as one machine's readings: `machines` in any order (the local one among them).
// Codex: per bucket, the newest observation whole (its windows travel together: never mixed with an older one's);
// weekly tokens add up over the machines whose "codex" bucket observed the same weekly window (same reset instant),
// unknown if none knows them; the account label of the newest that has one; state: present if any is, else unreadable
// if any is, else missing. Claude: every window from the newest machine that holds it (newestClaudeWindows), state as codex's.
CodexReading mergedCodexReadings(const std::vector<CodexReading>& machines);
ClaudeReading mergedClaudeReadings(const std::vector<ClaudeReading>& machines);

}
