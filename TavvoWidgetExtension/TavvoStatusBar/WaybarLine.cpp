#include "TavvoWidgetExtension/TavvoStatusBar/WaybarLine.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <glib.h>

#include <memory>

namespace TavvoSurfaces {

namespace {

std::string markupEscaped(const std::string& text)
{
    std::unique_ptr<char, decltype(&g_free)> const escaped(g_markup_escape_text(text.data(), static_cast<gssize>(text.size())), g_free);
    return escaped.get();
}

}

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
