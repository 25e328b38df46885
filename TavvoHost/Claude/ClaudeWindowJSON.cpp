#include "TavvoHost/Claude/ClaudeWindowJSON.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"

#include <cmath>
#include <string>
#include <string_view>

namespace TavvoHost {

using namespace std::chrono;

namespace {

constexpr auto earliestReset = sys_days(year(2000) / January / 1);
constexpr auto endOfLatestReset = sys_days(year(10000) / January / 1);

std::optional<Foundation::Date> withinLiveYears(Foundation::Date date)
{
    if (date < earliestReset || date >= endOfLatestReset)
        return std::nullopt;
    return date;
}

// Some writers add milliseconds to the text; the reset is kept to the
// second, so the fraction is dropped before reading.
std::optional<Foundation::Date> dateFromText(std::string_view text)
{
    constexpr std::size_t fractionStart = 19; // after YYYY-MM-DDTHH:MM:SS
    if (text.size() > fractionStart && text[fractionStart] == '.') {
        auto end = fractionStart + 1;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        if (end == fractionStart + 1)
            return std::nullopt;
        std::string whole(text.substr(0, fractionStart));
        whole.append(text.substr(end));
        return Foundation::parseInternetDateTime(whole);
    }
    return Foundation::parseInternetDateTime(text);
}

}

std::optional<Foundation::Date> claudeDateFromUnixSeconds(double seconds)
{
    // Checked as a double first: a huge value must not overflow the cast.
    constexpr double earliest = static_cast<double>(duration_cast<std::chrono::seconds>(earliestReset.time_since_epoch()).count());
    constexpr double latest = static_cast<double>(duration_cast<std::chrono::seconds>(endOfLatestReset.time_since_epoch()).count());
    if (!std::isfinite(seconds) || seconds < earliest || seconds >= latest)
        return std::nullopt;
    return Foundation::Date(std::chrono::seconds(static_cast<std::int64_t>(std::floor(seconds))));
}

std::optional<Foundation::Date> claudeResetDate(const rapidjson::Value& value)
{
    if (value.IsNumber())
        return claudeDateFromUnixSeconds(value.GetDouble());
    if (value.IsString()) {
        auto const date = dateFromText({ value.GetString(), value.GetStringLength() });
        return date ? withinLiveYears(*date) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<UsageWindow> claudeWindow(const rapidjson::Value& container, const char* name, const char* percentKey,
    std::chrono::minutes length)
{
    if (!container.IsObject())
        return std::nullopt;
    auto const window = container.FindMember(name);
    if (window == container.MemberEnd() || !window->value.IsObject())
        return std::nullopt;
    auto const& fields = window->value;
    auto const percent = fields.FindMember(percentKey);
    if (percent == fields.MemberEnd() || !percent->value.IsNumber() || !std::isfinite(percent->value.GetDouble()))
        return std::nullopt;
    auto const reset = fields.FindMember("resets_at");
    return UsageWindow {
        length,
        percent->value.GetDouble(),
        reset == fields.MemberEnd() ? std::nullopt : claudeResetDate(reset->value),
    };
}

}
