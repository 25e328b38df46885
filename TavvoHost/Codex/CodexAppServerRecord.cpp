#include "TavvoHost/Codex/CodexAppServerRecord.hpp"

#include "Platform/Foundation/FileManager.hpp"
#include "Platform/Foundation/JSONMembers.hpp"
#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoHost/Observation/ObservedDates.hpp"
#include "TavvoShared/State/TavvoStateFile.hpp"

#include <cmath>
#include <system_error>

namespace TavvoHost {

namespace {

// Far more than a record ever holds; a larger file is not ours.
constexpr std::size_t maximumRecordLength = 64 * 1024;

const rapidjson::Value* numberMember(const rapidjson::Value& object, const char* key)
{
    auto const found = object.FindMember(key);
    if (found == object.MemberEnd() || !found->value.IsNumber() || !std::isfinite(found->value.GetDouble()))
        return nullptr;
    return &found->value;
}

std::optional<UsageWindow> windowFrom(const rapidjson::Value& value)
{
    if (!value.IsObject())
        return std::nullopt;
    UsageWindow window;
    if (auto const* minutes = numberMember(value, "windowMinutes"); minutes && minutes->IsInt64() && minutes->GetInt64() > 0
        && minutes->GetInt64() <= std::chrono::duration_cast<std::chrono::minutes>(std::chrono::years(100)).count())
        window.length = standardWindowLength(std::chrono::minutes(minutes->GetInt64()));
    if (auto const* used = numberMember(value, "usedPercent"))
        window.usedPercent = used->GetDouble();
    if (auto const reset = Foundation::jsonText(Foundation::jsonMember(value, "resetsAt")))
        window.resetsAt = dateFromTimestampText(*reset);
    return window;
}

}

std::string encodeCodexAppServerAnswer(const CodexAppServerAnswer& answer)
{
    Foundation::JSONWriter writer;
    writer.StartObject();
    Foundation::writeJSONDateMember(writer, "observedAt", answer.observation.observedAt);
    Foundation::writeJSONMember(writer, "planType", answer.observation.planType);
    Foundation::writeJSONMember(writer, "email", answer.email);
    writer.Key("windows");
    writer.StartArray();
    for (auto const& window : answer.observation.windows) {
        writer.StartObject();
        if (window.length) {
            writer.Key("windowMinutes");
            writer.Int64(window.length->count());
        }
        if (window.usedPercent) {
            writer.Key("usedPercent");
            writer.Double(*window.usedPercent);
        }
        Foundation::writeJSONDateMember(writer, "resetsAt", window.resetsAt);
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return std::string(writer.text()) + "\n";
}

std::optional<CodexAppServerAnswer> decodeCodexAppServerAnswer(std::string_view text)
{
    auto const document = Foundation::parseJSONObject(text);
    if (!document)
        return std::nullopt;
    rapidjson::Value const& root = *document;
    auto const observedAtText = Foundation::jsonText(Foundation::jsonMember(root, "observedAt"));
    auto const observedAt = observedAtText ? dateFromTimestampText(*observedAtText) : std::nullopt;
    auto const windows = root.FindMember("windows");
    if (!observedAt || windows == root.MemberEnd() || !windows->value.IsArray())
        return std::nullopt;
    CodexAppServerAnswer answer { { *observedAt, "codex", std::nullopt, Foundation::jsonString(Foundation::jsonMember(root, "planType")), {} },
        Foundation::jsonString(Foundation::jsonMember(root, "email")) };
    for (auto const& value : windows->value.GetArray()) {
        if (auto window = windowFrom(value))
            answer.observation.windows.push_back(*window);
    }
    return answer;
}

std::optional<CodexAppServerAnswer> readCodexAppServerRecord(const std::filesystem::path& file)
{
    try {
        return decodeCodexAppServerAnswer(Foundation::FileManager::defaultManager()->contentsOfFile(file, maximumRecordLength));
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

void writeCodexAppServerRecord(const std::filesystem::path& file, const CodexAppServerAnswer& answer)
{
    Tavvo::writeStateFile(file, encodeCodexAppServerAnswer(answer));
}

}
