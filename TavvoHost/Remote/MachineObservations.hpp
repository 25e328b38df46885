// The observation document: what one machine's sources yielded, sent to
// another machine that merges it with its own. It carries the readings
// before assembly, with their instants, because the merge needs to know
// which machine saw each window last; a rendered snapshot would not tell.
//
// The reader trusts nothing in it: another machine, or whatever answers in
// its place, wrote it.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/ClaudeReading.hpp"
#include "TavvoHost/Observation/CodexReading.hpp"

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace TavvoHost {

// What one machine's sources yielded at one pass, as it travels between machines.
struct MachineObservations {
    Foundation::Date sentAt; // the sending machine's clock at its pass, whole seconds
    CodexReading codex;
    ClaudeReading claude;
    friend bool operator==(const MachineObservations&, const MachineObservations&) = default;
};
inline constexpr int machineObservationsVersion = 1;
// Longest line a reader keeps: a longer one is refused whole.
inline constexpr std::size_t longestMachineObservationsLine = 256 * 1024;
// One line of JSON (no newline inside, none at the end), {"version": 1, "sentAt": …, "codex": {…}, "claude": {…}}.
std::string encodeMachineObservations(const MachineObservations& observations);
// The document of one line, or a one-line reason it is refused. Strict: the version, every member's type, no unknown
// version; instants within 2000–9999 and none later than `now` plus five minutes of clock skew; used shares within 0…100
// (a window over 100 % used is refused, not clamped: the sender is broken); window lengths positive; texts valid UTF-8
// and short; at most a few dozen buckets/windows/models. Never throws for any input.
std::variant<MachineObservations, std::string> decodeMachineObservations(std::string_view line, Foundation::Date now);

}
