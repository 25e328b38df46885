#include "TavvoHost/Claude/ClaudeStatusLineInput.hpp"

#include "TavvoHost/Claude/ClaudeWindowJSON.hpp"

#include "Platform/Foundation/JSONMembers.hpp"

#include <rapidjson/document.h>

#include <algorithm>

namespace TavvoHost {

namespace {

std::optional<std::string> displayName(const rapidjson::Value& root)
{
    auto const model = root.FindMember("model");
    if (model == root.MemberEnd() || !model->value.IsObject())
        return std::nullopt;
    auto const name = model->value.FindMember("display_name");
    if (name == model->value.MemberEnd() || !name->value.IsString() || name->value.GetStringLength() == 0)
        return std::nullopt;
    // Claude Code shows the first line only; a newline or escape sequence
    // in a name must neither cut the line short nor reach the terminal.
    std::string text(name->value.GetString(), name->value.GetStringLength());
    std::replace_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }, ' ');
    return text;
}

}

std::optional<ClaudeStatusLineInput> parseClaudeStatusLineInput(std::string_view text)
{
    // NaN and Infinity are read so that they can be dropped as values
    // rather than failing the whole input.
    auto const document = Foundation::parseJSONObject(text, Foundation::NonFiniteNumbers::accepted);
    if (!document)
        return std::nullopt;

    rapidjson::Value const& root = *document;
    ClaudeStatusLineInput input;
    input.modelDisplayName = displayName(root);
    auto const limits = root.FindMember("rate_limits");
    if (limits != root.MemberEnd()) {
        input.fiveHour = claudeWindow(limits->value, "five_hour", "used_percentage", fiveHourWindow);
        input.sevenDay = claudeWindow(limits->value, "seven_day", "used_percentage", weeklyWindow);
    }
    return input;
}

}
