#include "TavvoWidgetExtension/TavvoStatusBar/ConkyText.hpp"

#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <fmt/format.h>

namespace TavvoSurfaces {

std::string conkyEscaped(std::string_view text)
{
    std::string escaped;
    for (char const character : text) {
        if (character == '$')
            escaped += "$$";
        else if (character == '#')
            escaped += "\\#";
        else
            escaped += character;
    }
    return escaped;
}

std::string conkyText(const StatusBarSummary& summary, UI::Appearance appearance)
{
    // Conky takes a colour as hexadecimal digits without the "#".
    auto line = markedText(statusBarPieces(summary), appearance, conkyEscaped,
        [](const std::string& color, const std::string& text) { return fmt::format("${{color {}}}{}${{color}}", color.substr(1), text); });
    // Without a document the long form starts with the line's own message.
    auto const details = summary.emptyLine() ? L10n::tr("widget.empty_explanation") : summary.tooltip();
    return line + "\n" + conkyEscaped(details);
}

} // namespace TavvoSurfaces
