#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/WidgetKit/JSONIndentation.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

namespace {

using Writer = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

void writeText(Writer& writer, const std::optional<std::string>& text)
{
    if (text)
        writer.String(text->data(), static_cast<rapidjson::SizeType>(text->size()));
    else
        writer.Null();
}

}

std::string jsonDescription(const TavvoWidgetEntry& entry)
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.SetIndent(' ', 2);
    writer.StartObject();
    writer.Key("date");
    writeText(writer, Foundation::formatInternetDateTime(entry.date));
    writer.Key("snapshot");
    if (entry.snapshot) {
        auto const document = WidgetKit::indentedJSON(TavvoWidgetJSONEncoder::tavvoWidget().encode(*entry.snapshot), 1);
        writer.RawValue(document.data(), document.size(), rapidjson::kObjectType);
    } else {
        writer.Null();
    }
    writer.Key("errorText");
    writeText(writer, entry.errorText);
    writer.EndObject();
    return { buffer.GetString(), buffer.GetSize() };
}
