#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"

#include "Platform/Foundation/InternetDateTime.hpp"
#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

namespace {

void writeText(Foundation::JSONWriter& writer, const std::optional<std::string>& text)
{
    if (text)
        writer.String(text->data(), static_cast<rapidjson::SizeType>(text->size()));
    else
        writer.Null();
}

}

void writeJSON(Foundation::JSONWriter& writer, const TavvoWidgetEntry& entry)
{
    writer.StartObject();
    writer.Key("date");
    writeText(writer, Foundation::formatInternetDateTime(entry.date));
    writer.Key("snapshot");
    if (entry.snapshot)
        TavvoWidgetJSONEncoder::tavvoWidget().encode(*entry.snapshot, writer);
    else
        writer.Null();
    writer.Key("errorText");
    writeText(writer, entry.errorText);
    writer.EndObject();
}
