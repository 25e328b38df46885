#include "TavvoWidgetExtension/TavvoStatusBar/I3barBlocks.hpp"

#include "Platform/Foundation/JSONWriter.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <iterator>

namespace TavvoSurfaces {

namespace {

constexpr std::string_view blockName = "tavvo";

void writeBlock(Foundation::JSONLineWriter& writer, std::string_view instance, const std::string& fullText, const std::string& shortText,
    const std::optional<std::string>& color, bool urgent)
{
    writer.StartObject();
    writer.Key("name");
    Foundation::writeJSONString(writer, blockName);
    writer.Key("instance");
    Foundation::writeJSONString(writer, instance);
    writer.Key("full_text");
    Foundation::writeJSONString(writer, fullText);
    writer.Key("short_text");
    Foundation::writeJSONString(writer, shortText);
    if (color) {
        writer.Key("color");
        Foundation::writeJSONString(writer, *color);
    }
    writer.Key("urgent");
    writer.Bool(urgent);
    writer.EndObject();
}

}

std::string i3barBlocks(const StatusBarSummary& summary, UI::Appearance appearance)
{
    Foundation::JSONLineWriter writer;
    writer.StartArray();
    if (auto const empty = summary.emptyLine()) {
        writeBlock(writer, blockName, *empty, L10n::tr("app.title"), std::nullopt, false);
    } else {
        for (auto const& provider : summary.providers()) {
            auto const pieces = providerPieces(provider);
            // The short form drops the title: the percentage and the mark.
            std::vector<StatusBarPiece> const value(std::next(pieces.begin()), pieces.end());
            auto const color = provider.stale() ? std::nullopt : statusBarColor(provider.severity, appearance);
            bool const urgent = !provider.stale() && provider.severity == NovikSeverity::critical;
            writeBlock(writer, Foundation::rawValue(provider.record.id), plainText(pieces), plainText(value), color, urgent);
        }
    }
    writer.EndArray();
    return std::string(writer.text());
}

} // namespace TavvoSurfaces
