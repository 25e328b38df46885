// ClaudeReading: what the Claude Code sources held at one pass.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/SourceState.hpp"
#include "TavvoHost/Observation/UsageWindow.hpp"

#include <optional>
#include <string>

namespace TavvoHost {

// The newer of the status-line feed and the cached-usage fallback.
struct ClaudeObservation {
    Foundation::Date observedAt; // whole seconds
    std::optional<UsageWindow> fiveHour; // length fiveHourWindow
    std::optional<UsageWindow> sevenDay; // length weeklyWindow

    friend bool operator==(const ClaudeObservation&, const ClaudeObservation&) = default;
};

struct ClaudeReading {
    // missing: no Claude Code folder; unreadable: the feed exists but cannot
    // be read and nothing else was observed.
    SourceState state = SourceState::missing;
    std::optional<ClaudeObservation> observation;

    friend bool operator==(const ClaudeReading&, const ClaudeReading&) = default;
};

}
