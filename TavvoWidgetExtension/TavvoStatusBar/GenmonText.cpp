#include "TavvoWidgetExtension/TavvoStatusBar/GenmonText.hpp"

#include "TavvoWidgetExtension/TavvoStatusBar/PangoMarkup.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include <fmt/format.h>

namespace TavvoSurfaces {

namespace {

// One word for a shell or GLib's parser of command lines: inside single
// quotes nothing is special but the quote, which closes, is written as
// one escaped, and opens again.
std::string shellWord(const std::string& text)
{
    std::string word = "'";
    for (char const character : text)
        word += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return word + "'";
}

}

std::string genmonText(const StatusBarSummary& summary, UI::Appearance appearance, const std::filesystem::path& program)
{
    auto text = fmt::format("<txt>{}</txt>\n<tool>{}</tool>\n", markupText(statusBarPieces(summary), appearance), markupEscaped(summary.tooltip()));
    if (auto const least = summary.leastRemaining())
        text += fmt::format("<bar>{}</bar>\n", *least);
    return text + fmt::format("<txtclick>{} show</txtclick>", shellWord(program.string()));
}

} // namespace TavvoSurfaces
