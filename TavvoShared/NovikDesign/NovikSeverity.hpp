// NovikSeverity: how close a limit is to running out, from a used or a
// remaining percentage; each level has one color of the palette.
#pragma once

#include "Platform/Foundation/RawValue.hpp"

#include <cstdint>
#include <functional>
#include <optional>

namespace UI {
class Color;
}

enum class NovikSeverity { unknown, ok, watch, tight, critical };

template <>
struct Foundation::RawValues<NovikSeverity> {
    static constexpr std::array<std::string_view, 5> texts { "unknown", "ok", "watch", "tight", "critical" };
};

namespace NovikSeverities {

// Unknown without a value; below 50 used (negatives too) ok, 50–69 watch,
// 70–89 tight, 90 and above (past 100 too) critical.
NovikSeverity forUsed(std::optional<std::int64_t> used);

// The severity of 100 − remaining: above 50 left is ok, 31–50 watch,
// 11–30 tight, 10 or less critical. Remaining shares so far below zero
// that 100 − remaining leaves 64 bits are critical, as their neighbours.
NovikSeverity forRemaining(std::optional<std::int64_t> remaining);

}

// The palette's color for the level (NovikPalette::color).
const UI::Color& color(NovikSeverity severity);

template <>
struct std::hash<NovikSeverity> {
    std::size_t operator()(NovikSeverity severity) const noexcept
    {
        return std::hash<std::string_view>()(Foundation::rawValue(severity));
    }
};
