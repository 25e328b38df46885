#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetEntry.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoShared/Snapshot/TavvoWidgetJSONEncoder.hpp"

void writeJSON(Foundation::JSONWriter& writer, const TavvoWidgetEntry& entry)
{
    writer.StartObject();
    writer.Key("date");
    Foundation::writeJSONDate(writer, entry.date);
    writer.Key("snapshot");
    if (entry.snapshot)
        TavvoWidgetJSONEncoder::tavvoWidget().encode(*entry.snapshot, writer);
    else
        writer.Null();
    writer.Key("errorText");
    Foundation::writeJSONStringOrNull(writer, entry.errorText);
    writer.EndObject();
}
