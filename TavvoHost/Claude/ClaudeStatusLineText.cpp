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

std::string windowText(const UsageWindow& window, std::int64_t remaining, Foundation::Date now)
{
    auto text = L10n::tr("statusline.window_remaining", { L10n::windowLabel(window.length, ""), remaining });
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
        auto const remaining = *window ? remainingPercent(**window) : std::nullopt;
        if (!remaining)
            continue;
        if (!line.empty())
            line += separator;
        line += windowText(**window, *remaining, now);
    }
    if (line.empty())
        return input.modelDisplayName.value_or("");
    return line;
}

}
