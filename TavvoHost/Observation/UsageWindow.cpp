#include "TavvoHost/Observation/UsageWindow.hpp"

#include <algorithm>
#include <cmath>

namespace TavvoHost {

std::optional<std::int64_t> remainingPercent(const UsageWindow& window)
{
    if (!window.usedPercent || !std::isfinite(*window.usedPercent))
        return std::nullopt;
    return std::llround(std::clamp(100 - *window.usedPercent, 0.0, 100.0));
}

}
