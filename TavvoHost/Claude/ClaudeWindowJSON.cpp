#include "TavvoHost/Claude/ClaudeWindowJSON.hpp"

#include "TavvoHost/Observation/ObservedDates.hpp"

#include <cmath>
#include <string>
#include <string_view>

namespace TavvoHost {

std::optional<Foundation::Date> claudeResetDate(const rapidjson::Value& value)
{
    if (value.IsNumber())
        return dateFromUnixSeconds(value.GetDouble());
    if (value.IsString())
        return dateFromTimestampText({ value.GetString(), value.GetStringLength() });
    return std::nullopt;
}

std::optional<UsageWindow> claudeWindowOf(const rapidjson::Value& fields, const char* percentKey, std::chrono::minutes length)
{
    if (!fields.IsObject())
        return std::nullopt;
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

std::optional<UsageWindow> claudeWindow(const rapidjson::Value& container, const char* name, const char* percentKey,
    std::chrono::minutes length)
{
    if (!container.IsObject())
        return std::nullopt;
    auto const window = container.FindMember(name);
    if (window == container.MemberEnd())
        return std::nullopt;
    return claudeWindowOf(window->value, percentKey, length);
}

}
