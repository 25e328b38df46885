#include "TavvoHost/Codex/CodexLogLine.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"

#include <rapidjson/document.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace TavvoHost {

using namespace std::chrono;

namespace {

// Thrown inside this file only, to leave a line of the wrong shape at once.
struct Malformed { };

using Value = rapidjson::Value;

constexpr sys_seconds earliestDate { sys_days(year(2000) / January / 1) };
constexpr sys_seconds latestDate { sys_days(year(10000) / January / 1) };

// Nothing for an absent or null member: Codex writes either for "unknown".
const Value* member(const Value& object, const char* name)
{
    auto const found = object.FindMember(name);
    if (found == object.MemberEnd() || found->value.IsNull())
        return nullptr;
    return &found->value;
}

const Value* objectMember(const Value& object, const char* name)
{
    auto const* value = member(object, name);
    if (value && !value->IsObject())
        throw Malformed {};
    return value;
}

std::optional<std::string> stringMember(const Value& object, const char* name)
{
    auto const* value = member(object, name);
    if (!value)
        return std::nullopt;
    if (!value->IsString())
        throw Malformed {};
    return std::string(value->GetString(), value->GetStringLength());
}

std::optional<double> numberMember(const Value& object, const char* name)
{
    auto const* value = member(object, name);
    if (!value)
        return std::nullopt;
    if (!value->IsNumber())
        throw Malformed {};
    return value->GetDouble();
}

std::int64_t countMember(const Value& object, const char* name)
{
    auto const* value = member(object, name);
    if (!value)
        return 0;
    if (!value->IsUint64() || value->GetUint64() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        throw Malformed {};
    return static_cast<std::int64_t>(value->GetUint64());
}

std::optional<CodexTokenUsage> usageMember(const Value& object, const char* name)
{
    auto const* usage = objectMember(object, name);
    if (!usage)
        return std::nullopt;
    return CodexTokenUsage { countMember(*usage, "input_tokens"), countMember(*usage, "cached_input_tokens"),
        countMember(*usage, "output_tokens"), countMember(*usage, "reasoning_output_tokens"),
        countMember(*usage, "total_tokens") };
}

// Whole seconds since the epoch, inside the years 2000–9999; the range is
// checked on the double so that no conversion can overflow.
std::optional<Foundation::Date> dateFromSeconds(double seconds)
{
    if (!(seconds >= static_cast<double>(earliestDate.time_since_epoch().count())
            && seconds < static_cast<double>(latestDate.time_since_epoch().count())))
        return std::nullopt;
    return Foundation::Date(std::chrono::seconds(static_cast<std::int64_t>(std::floor(seconds))));
}

// RFC 3339 with an optional fraction of a second, which is kept to the
// microsecond; the rest of the text is read as an internet date-time.
std::optional<Foundation::Date> parseTimestamp(std::string_view text)
{
    constexpr std::size_t wholeSeconds = 19; // YYYY-MM-DDTHH:MM:SS
    if (text.size() <= wholeSeconds)
        return std::nullopt;
    std::size_t zone = wholeSeconds;
    microseconds fraction(0);
    if (text[zone] == '.') {
        ++zone;
        microseconds::rep scale = 100'000;
        std::size_t const firstDigit = zone;
        for (; zone < text.size() && text[zone] >= '0' && text[zone] <= '9'; ++zone) {
            fraction += microseconds((text[zone] - '0') * scale);
            scale /= 10;
        }
        if (zone == firstDigit)
            return std::nullopt;
    }
    std::string withoutFraction(text.substr(0, wholeSeconds));
    withoutFraction.append(text.substr(zone));
    auto const date = Foundation::parseInternetDateTime(withoutFraction);
    if (!date)
        return std::nullopt;
    return *date + fraction;
}

// The names one window's values go by in one shape of the record.
struct WindowKeys {
    const char* usedPercent;
    const char* windowMinutes;
    const char* resetsAt; // nullptr where the shape has none
    const char* resetsAfter; // seconds from the line's timestamp
};

constexpr WindowKeys nestedKeys { "used_percent", "window_minutes", "resets_at", "resets_in_seconds" };
constexpr WindowKeys flatPrimaryKeys { "primary_used_percent", "primary_window_minutes", nullptr, "primary_reset_after_seconds" };
constexpr WindowKeys flatSecondaryKeys { "secondary_used_percent", "secondary_window_minutes", nullptr, "secondary_reset_after_seconds" };

std::optional<UsageWindow> readWindow(const Value& object, const WindowKeys& keys, sys_seconds lineSecond)
{
    UsageWindow window;
    if (auto const used = numberMember(object, keys.usedPercent); used && std::isfinite(*used))
        window.usedPercent = used;
    // A length is a positive whole number of minutes (ten years at most).
    if (auto const length = numberMember(object, keys.windowMinutes);
        length && *length >= 1 && *length <= 5'256'000 && *length == std::floor(*length))
        window.length = minutes(static_cast<minutes::rep>(*length));
    auto const resetsAt = keys.resetsAt ? numberMember(object, keys.resetsAt) : std::nullopt;
    auto const resetsAfter = numberMember(object, keys.resetsAfter);
    if (resetsAt)
        window.resetsAt = dateFromSeconds(*resetsAt);
    else if (resetsAfter)
        window.resetsAt = dateFromSeconds(static_cast<double>(lineSecond.time_since_epoch().count()) + *resetsAfter);

    if (!window.usedPercent && !window.length && !window.resetsAt)
        return std::nullopt;
    return window;
}

CodexObservation readRateLimits(const Value& limits, sys_seconds lineSecond)
{
    CodexObservation observation { Foundation::Date(lineSecond), "codex", stringMember(limits, "limit_name"),
        stringMember(limits, "plan_type"), {} };
    if (auto const limitId = stringMember(limits, "limit_id"); limitId && !limitId->empty())
        observation.limitId = *limitId;

    auto const* primary = objectMember(limits, "primary");
    auto const* secondary = objectMember(limits, "secondary");
    auto add = [&](std::optional<UsageWindow> window) {
        if (window)
            observation.windows.push_back(*window);
    };
    if (primary || secondary || limits.HasMember("primary") || limits.HasMember("secondary")) {
        if (primary)
            add(readWindow(*primary, nestedKeys, lineSecond));
        if (secondary)
            add(readWindow(*secondary, nestedKeys, lineSecond));
    } else {
        add(readWindow(limits, flatPrimaryKeys, lineSecond));
        add(readWindow(limits, flatSecondaryKeys, lineSecond));
    }
    return observation;
}

bool isString(const Value* value, std::string_view text)
{
    if (!value)
        return false;
    if (!value->IsString())
        throw Malformed {};
    return std::string_view(value->GetString(), value->GetStringLength()) == text;
}

CodexLogLine parseDocument(const rapidjson::Document& document)
{
    if (!document.IsObject())
        throw Malformed {};
    if (!isString(member(document, "type"), "event_msg"))
        return {};
    auto const* payload = objectMember(document, "payload");
    if (!payload || !isString(member(*payload, "type"), "token_count"))
        return {};

    auto const text = stringMember(document, "timestamp");
    auto const timestamp = text ? parseTimestamp(*text) : std::nullopt;
    if (!timestamp || *timestamp < earliestDate || *timestamp >= latestDate)
        throw Malformed {};
    auto const lineSecond = floor<seconds>(*timestamp);

    CodexTokenCount event { *timestamp, std::nullopt, std::nullopt, std::nullopt };
    if (auto const* info = objectMember(*payload, "info")) {
        event.totalUsage = usageMember(*info, "total_token_usage");
        event.lastUsage = usageMember(*info, "last_token_usage");
    }
    if (auto const* limits = objectMember(*payload, "rate_limits"))
        event.rateLimits = readRateLimits(*limits, lineSecond);
    return { CodexLogLine::Kind::tokenCount, std::move(event) };
}

std::string_view trimmed(std::string_view text)
{
    auto const first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}

CodexLogLine parseCodexLogLine(std::string_view line)
{
    auto const object = trimmed(line);
    if (object.empty())
        return {};
    if (object.size() < 2 || object.front() != '{' || object.back() != '}')
        return { CodexLogLine::Kind::malformed, std::nullopt };
    constexpr std::string_view eventName = "token_count";
    // memmem is far faster than a search led by a first letter as common as "t".
    if (!::memmem(object.data(), object.size(), eventName.data(), eventName.size()))
        return {};

    rapidjson::Document document;
    document.Parse<rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag>(object.data(), object.size());
    if (document.HasParseError())
        return { CodexLogLine::Kind::malformed, std::nullopt };
    try {
        return parseDocument(document);
    } catch (const Malformed&) {
        return { CodexLogLine::Kind::malformed, std::nullopt };
    }
}

}
