#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarOutput.hpp"

#include "TavvoWidgetExtension/TavvoStatusBar/I3barBlocks.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarDocument.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/WaybarLine.hpp"

namespace TavvoSurfaces {

std::string statusBarLine(const StatusBarSummary& summary, StatusBarFormat format)
{
    switch (format) {
    case StatusBarFormat::waybar:
        return waybarLine(summary);
    case StatusBarFormat::i3bar:
        return i3barBlocks(summary);
    case StatusBarFormat::polybar:
        return polybarText(statusBarPieces(summary));
    case StatusBarFormat::tmux:
        return tmuxText(statusBarPieces(summary));
    case StatusBarFormat::json:
        return statusBarDocument(summary);
    case StatusBarFormat::text:
        break;
    }
    return plainText(statusBarPieces(summary));
}

bool showsLongForm(StatusBarFormat format)
{
    return format == StatusBarFormat::waybar || format == StatusBarFormat::json;
}

StatusBarStream::StatusBarStream(StatusBarFormat format)
    : m_format(format)
{
}

std::string StatusBarStream::opening() const
{
    return m_format == StatusBarFormat::i3bar ? std::string(i3barHeader) + "\n[\n" : std::string();
}

std::string StatusBarStream::next(const std::string& line)
{
    // i3bar's endless array: a comma before every block array but the first.
    auto const lead = m_format == StatusBarFormat::i3bar && !m_first ? "," : "";
    m_first = false;
    return lead + line + "\n";
}

std::string StatusBarStream::closing() const
{
    return m_format == StatusBarFormat::i3bar ? "]\n" : std::string();
}

} // namespace TavvoSurfaces
