// ClaudeStatusLineInput: what we use of the JSON object Claude Code writes
// to its status-line command's standard input: the two limit windows and
// the model's name.
//
//   {"model":{"display_name":"Sonnet 5"},
//    "rate_limits":{"five_hour":{"used_percentage":23.5,"resets_at":1738425600},
//                   "seven_day":{"used_percentage":41.2,"resets_at":1738857600}}}
//
// `rate_limits` comes only for subscription accounts of recent versions,
// and only once a session has had its first answer; either window may be
// missing. Every other key is ignored.
#pragma once

#include "TavvoHost/Observation/UsageWindow.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace TavvoHost {

struct ClaudeStatusLineInput {
    std::optional<UsageWindow> fiveHour; // length fiveHourWindow
    std::optional<UsageWindow> sevenDay; // length weeklyWindow
    // Without control characters, so it can stand on a line of its own.
    std::optional<std::string> modelDisplayName;

    bool hasLimits() const { return fiveHour || sevenDay; }

    friend bool operator==(const ClaudeStatusLineInput&, const ClaudeStatusLineInput&) = default;
};

// Reads the input. Nothing when the text is not one JSON object in valid
// UTF-8. Within it, a value of the wrong type counts as absent (a window
// whose share is not a finite number, a reset that is neither Unix seconds
// nor a date-time text) and never fails the rest.
std::optional<ClaudeStatusLineInput> parseClaudeStatusLineInput(std::string_view text);

}
