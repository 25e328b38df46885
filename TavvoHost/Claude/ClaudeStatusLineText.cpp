#include "TavvoHost/Claude/ClaudeStatusLineText.hpp"

#include "TavvoShared/Localization/CurrentCalendar.hpp"
#include "TavvoShared/Localization/DateFormatting.hpp"
#include "TavvoShared/Localization/DurationTexts.hpp"
#include "TavvoShared/Localization/L10n.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace TavvoHost {

namespace {

constexpr char const* separator = " · ";

std::int64_t remainingPercent(double usedPercent)
{
    return std::llround(std::clamp(100 - usedPercent, 0.0, 100.0));
}

std::string windowText(const UsageWindow& window, Foundation::Date now)
{
    auto text = L10n::tr("statusline.window_remaining",
        { L10n::windowLabel(window.length, ""), remainingPercent(window.usedPercent.value_or(0)) });
    if (window.resetsAt && *window.resetsAt > now) {
        auto const& reset = *window.resetsAt;
        text += separator;
        text += L10n::isSameCalendarDay(reset, now)
            ? L10n::tr("statusline.resets_today", { L10n::shortTime(reset) })
            : L10n::tr("statusline.resets_other_day", { L10n::shortDayTime(reset) });
    }
    return text;
}

}

std::string claudeStatusLineText(const ClaudeStatusLineInput& input, Foundation::Date now)
{
    std::string line;
    for (auto const* window : { &input.fiveHour, &input.sevenDay }) {
        if (!*window)
            continue;
        if (!line.empty())
            line += separator;
        line += windowText(**window, now);
    }
    if (line.empty())
        return input.modelDisplayName.value_or("");
    return line;
}

}
