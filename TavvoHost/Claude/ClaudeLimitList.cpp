#include "TavvoHost/Claude/ClaudeLimitList.hpp"

#include "Platform/Foundation/JSONMembers.hpp"
#include "TavvoHost/Claude/ClaudeWindowJSON.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace TavvoHost {

namespace {

constexpr char const* percentKey = "percent";

using Foundation::jsonMember;
using Foundation::jsonText;

// The model a scoped limit names; nothing when it names none.
std::optional<std::string> scopedModel(const rapidjson::Value& entry)
{
    auto const* scope = jsonMember(entry, "scope");
    auto const* model = scope ? jsonMember(*scope, "model") : nullptr;
    auto const name = model ? jsonText(jsonMember(*model, "display_name")) : std::nullopt;
    if (!name || name->empty())
        return std::nullopt;
    return std::string(*name);
}

}

ClaudeObservation claudeLimitList(const rapidjson::Value& utilization, Foundation::Date observedAt)
{
    ClaudeObservation observation { observedAt, std::nullopt, std::nullopt, {} };
    auto const* limits = jsonMember(utilization, "limits");
    if (!limits || !limits->IsArray())
        return observation;
    for (auto const& entry : limits->GetArray()) {
        auto const kind = jsonText(jsonMember(entry, "kind"));
        if (!kind)
            continue;
        if (*kind == "session" && !observation.fiveHour)
            observation.fiveHour = claudeWindowOf(entry, percentKey, fiveHourWindow);
        else if (*kind == "weekly_all" && !observation.sevenDay)
            observation.sevenDay = claudeWindowOf(entry, percentKey, weeklyWindow);
        else if (*kind == "weekly_scoped") {
            auto model = scopedModel(entry);
            auto const window = claudeWindowOf(entry, percentKey, weeklyWindow);
            if (model && window && !observation.holdsModel(*model))
                observation.modelWeekly.push_back({ std::move(*model), *window });
        }
    }
    return observation;
}

}
