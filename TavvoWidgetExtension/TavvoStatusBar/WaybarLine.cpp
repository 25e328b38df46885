#include "TavvoWidgetExtension/TavvoStatusBar/WaybarLine.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/PangoMarkup.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

namespace TavvoSurfaces {

std::string waybarLine(const StatusBarSummary& summary)
{
    Foundation::JSONLineWriter writer;
    writer.StartObject();
    writer.Key("text");
    Foundation::writeJSONString(writer, markupEscaped(plainText(statusBarPieces(summary))));
    writer.Key("tooltip");
    Foundation::writeJSONString(writer, markupEscaped(summary.tooltip()));
    writer.Key("class");
    writer.StartArray();
    for (auto const& name : summary.classes())
        Foundation::writeJSONString(writer, name);
    writer.EndArray();
    if (auto const least = summary.leastRemaining()) {
        writer.Key("percentage");
        writer.Int64(*least);
    }
    writer.Key("alt");
    Foundation::writeJSONString(writer, summary.classes().front());
    writer.EndObject();
    return std::string(writer.text());
}

} // namespace TavvoSurfaces
