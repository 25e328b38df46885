#include "TavvoWidgetExtension/TavvoStatusBar/WaybarLine.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "Platform/Foundation/Module.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <glib.h>

#include <memory>

namespace TavvoSurfaces {

namespace {

// Waybar reads the texts as Pango markup, which GLib escapes. GLib is
// loaded for it on the first line only: every other run of the widget
// program, a cold timeline above all, would otherwise map it for nothing.
std::string markupEscaped(const std::string& text)
{
    using Escape = decltype(&g_markup_escape_text);
    using Free = decltype(&g_free);
    static auto const escape = reinterpret_cast<Escape>(Foundation::systemLibrarySymbol("libglib-2.0.so.0", "g_markup_escape_text"));
    static auto const release = reinterpret_cast<Free>(Foundation::systemLibrarySymbol("libglib-2.0.so.0", "g_free"));
    std::unique_ptr<char, Free> const escaped(escape(text.data(), static_cast<gssize>(text.size())), release);
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
