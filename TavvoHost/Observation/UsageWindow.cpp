#include "TavvoHost/Observation/UsageWindow.hpp"

#include <algorithm>
#include <cmath>

namespace TavvoHost {

std::chrono::minutes standardWindowLength(std::chrono::minutes reported)
{
    constexpr std::chrono::minutes tolerance { 3 };
    for (auto const standard : { fiveHourWindow, weeklyWindow }) {
        if (reported >= standard - tolerance && reported <= standard + tolerance)
            return standard;
    }
    return reported;
}

std::optional<std::int64_t> remainingPercent(const UsageWindow& window)
{
    if (!window.usedPercent || !std::isfinite(*window.usedPercent))
        return std::nullopt;
    return std::llround(std::clamp(100 - *window.usedPercent, 0.0, 100.0));
}

}
