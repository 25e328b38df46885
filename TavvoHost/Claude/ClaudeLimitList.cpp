#include "TavvoHost/Claude/ClaudeLimitList.hpp"

#include "TavvoHost/Claude/ClaudeWindowJSON.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace TavvoHost {

namespace {

constexpr char const* percentKey = "percent";

const rapidjson::Value* member(const rapidjson::Value& object, const char* name)
{
    if (!object.IsObject())
        return nullptr;
    auto const found = object.FindMember(name);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

std::optional<std::string_view> text(const rapidjson::Value* value)
{
    if (!value || !value->IsString())
        return std::nullopt;
    return std::string_view(value->GetString(), value->GetStringLength());
}

// The model a scoped limit names; nothing when it names none.
std::optional<std::string> scopedModel(const rapidjson::Value& entry)
{
    auto const* scope = member(entry, "scope");
    auto const* model = scope ? member(*scope, "model") : nullptr;
    auto const name = model ? text(member(*model, "display_name")) : std::nullopt;
    if (!name || name->empty())
        return std::nullopt;
    return std::string(*name);
}

}

ClaudeObservation claudeLimitList(const rapidjson::Value& utilization, Foundation::Date observedAt)
{
    ClaudeObservation observation { observedAt, std::nullopt, std::nullopt, {} };
    auto const* limits = member(utilization, "limits");
    if (!limits || !limits->IsArray())
        return observation;
    for (auto const& entry : limits->GetArray()) {
        auto const kind = text(member(entry, "kind"));
        if (!kind)
            continue;
        if (*kind == "session" && !observation.fiveHour)
            observation.fiveHour = claudeWindowOf(entry, percentKey, fiveHourWindow);
        else if (*kind == "weekly_all" && !observation.sevenDay)
            observation.sevenDay = claudeWindowOf(entry, percentKey, weeklyWindow);
        else if (*kind == "weekly_scoped") {
            auto model = scopedModel(entry);
            auto const window = claudeWindowOf(entry, percentKey, weeklyWindow);
            bool const taken = model
                && std::any_of(observation.modelWeekly.begin(), observation.modelWeekly.end(),
                    [&](const ClaudeModelWindow& known) { return known.model == *model; });
            if (model && window && !taken)
                observation.modelWeekly.push_back({ std::move(*model), *window });
        }
    }
    return observation;
}

}
