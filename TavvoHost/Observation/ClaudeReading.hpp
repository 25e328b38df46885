// ClaudeReading: what the Claude Code sources held at one pass.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "TavvoHost/Observation/SourceState.hpp"
#include "TavvoHost/Observation/UsageWindow.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace TavvoHost {

// The weekly limit of one model alone, beside the weekly limit of all.
struct ClaudeModelWindow {
    std::string model; // the model's display name as Claude Code wrote it ("Opus"), never empty
    UsageWindow window; // length weeklyWindow

    friend bool operator==(const ClaudeModelWindow&, const ClaudeModelWindow&) = default;
};

// What one source observed at one time, or what the sources observed
// together: each window from the newest source that held it.
struct ClaudeObservation {
    Foundation::Date observedAt; // whole seconds
    std::optional<UsageWindow> fiveHour; // length fiveHourWindow
    std::optional<UsageWindow> sevenDay; // length weeklyWindow
    std::vector<ClaudeModelWindow> modelWeekly; // as written, one per model

    // An observation without a window is no reading at all: it tells
    // nothing about the limits and must never replace one that does.
    bool holdsWindows() const { return fiveHour || sevenDay || !modelWeekly.empty(); }

    // Whether `modelWeekly` has a window of the model of that display name.
    bool holdsModel(std::string_view model) const
    {
        return std::any_of(modelWeekly.begin(), modelWeekly.end(), [&](const ClaudeModelWindow& window) { return window.model == model; });
    }

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
