#include "TavvoShared/Localization/LimitTexts.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/Localization/PluralCategory.hpp"

namespace L10n {

namespace {

std::string countedText(std::string_view family, std::int64_t count)
{
    auto const key = std::string(family) + "." + std::string(suffix(pluralCategory(count)));
    return tr(key, { count });
}

}

std::string accountCount(std::int64_t count)
{
    return countedText("accounts.count", count);
}

std::string readyAccountCount(std::int64_t count)
{
    return countedText("tray.accessibility.ready_accounts", count);
}

std::string limitAvailability(std::int64_t available, std::int64_t total)
{
    return tr("tray.availability.with_limits", { available, total });
}

std::string checkedAt(const std::string& time)
{
    return tr("time.checked_at", { time });
}

std::string limitsAt(const std::string& time)
{
    return tr("time.limits_at", { time });
}

std::string usedFiveHours(std::int64_t percent)
{
    return tr("limit.used_five_hours", { percent });
}

std::string percentRemaining(std::int64_t percent)
{
    return tr("limit.percent_remaining", { percent });
}

}
