#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitGauge.hpp"

#include "TavvoShared/Localization/LimitTexts.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetPresentation.hpp"

#include <fmt/ranges.h>

#include <vector>

namespace {

std::string joinedPresent(std::vector<std::string> parts, std::string_view separator)
{
    std::erase_if(parts, [](const std::string& part) { return part.empty(); });
    return fmt::to_string(fmt::join(parts, separator));
}

}

std::string limitStanding(const TavvoWidgetLimitSnapshot& limit, Foundation::Date now)
{
    return joinedPresent(
        {
            limit.remainingPercent ? L10n::percentRemaining(*limit.remainingPercent) : std::string(),
            limitResetText(limit, now).value_or(std::string()),
        },
        ". ");
}

std::string limitGaugeLabel(const std::string& providerTitle, const TavvoWidgetLimitSnapshot& limit)
{
    return joinedPresent({ providerTitle, limit.title }, ", ");
}

std::optional<UI::AccessibilityGauge> limitGauge(const std::string& providerTitle, const TavvoWidgetLimitSnapshot& limit,
    Foundation::Date now)
{
    if (!limit.remainingPercent)
        return std::nullopt;
    return UI::AccessibilityGauge {
        .label = limitGaugeLabel(providerTitle, limit),
        .value = static_cast<double>(*limit.remainingPercent),
        .description = limitStanding(limit, now),
    };
}
