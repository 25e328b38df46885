#include "TavvoWidgetExtension/TavvoStatusBar/WaybarLine.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <fmt/format.h>

namespace TavvoSurfaces {

namespace {

// Pango markup's rule, applied here rather than through GLib, which every
// run of the widget program would then map for this one function: the five
// markup characters as entities, and the control characters markup cannot
// hold as hexadecimal character references: C0 but tab, newline and
// carriage return; DEL; C1 but next-line. C1 characters are the only ones
// outside ASCII among them, each two bytes in UTF-8: 0xC2 then 0x80–0x9F.
std::string markupEscaped(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        auto const byte = static_cast<unsigned char>(text[index]);
        auto const next = index + 1 < text.size() ? static_cast<unsigned char>(text[index + 1]) : 0;
        if (byte == 0xc2 && next >= 0x80 && next <= 0x9f && next != 0x85) {
            escaped += fmt::format("&#x{:x};", next);
            ++index;
        } else if (byte == '&') {
            escaped += "&amp;";
        } else if (byte == '<') {
            escaped += "&lt;";
        } else if (byte == '>') {
            escaped += "&gt;";
        } else if (byte == '\'') {
            escaped += "&apos;";
        } else if (byte == '"') {
            escaped += "&quot;";
        } else if ((byte >= 0x1 && byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7f) {
            escaped += fmt::format("&#x{:x};", byte);
        } else {
            escaped += text[index];
        }
    }
    return escaped;
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
