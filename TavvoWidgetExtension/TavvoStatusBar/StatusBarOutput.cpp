#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarOutput.hpp"

#include "TavvoWidgetExtension/TavvoStatusBar/ConkyText.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/GenmonText.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/I3barBlocks.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarDocument.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/WaybarLine.hpp"

namespace TavvoSurfaces {

std::string statusBarLine(const StatusBarSummary& summary, StatusBarFormat format, const StatusBarOutputOptions& options)
{
    switch (format) {
    case StatusBarFormat::waybar:
        return waybarLine(summary);
    case StatusBarFormat::i3bar:
        return i3barBlocks(summary, options.appearance);
    case StatusBarFormat::polybar:
        return polybarText(statusBarPieces(summary), options.appearance);
    case StatusBarFormat::tmux:
        return tmuxText(statusBarPieces(summary), options.appearance);
    case StatusBarFormat::genmon:
        return genmonText(summary, options.appearance, options.program);
    case StatusBarFormat::conky:
        return conkyText(summary, options.appearance);
    case StatusBarFormat::json:
        return statusBarDocument(summary, options.appearance);
    case StatusBarFormat::text:
        break;
    }
    return plainText(statusBarPieces(summary));
}

bool showsLongForm(StatusBarFormat format)
{
    return format == StatusBarFormat::waybar || format == StatusBarFormat::json || !streams(format);
}

bool streams(StatusBarFormat format)
{
    return format != StatusBarFormat::genmon && format != StatusBarFormat::conky;
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
