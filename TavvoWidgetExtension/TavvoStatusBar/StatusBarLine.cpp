#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarLine.hpp"

#include "Platform/UI/Color.hpp"
#include "TavvoShared/Localization/L10n.hpp"
#include "TavvoShared/NovikDesign/NovikPalette.hpp"

#include <fmt/format.h>

#include <cmath>

namespace TavvoSurfaces {

namespace {

constexpr std::string_view providerSeparator = " · ";

int channel(double component)
{
    return static_cast<int>(std::lround(component * 255));
}

std::string replacedAll(std::string_view text, std::string_view what, std::string_view with)
{
    std::string result;
    for (std::size_t start = 0;;) {
        auto const found = text.find(what, start);
        result += text.substr(start, found - start);
        if (found == std::string_view::npos)
            return result;
        result += with;
        start = found + what.size();
    }
}

}

std::optional<std::string> statusBarColor(NovikSeverity severity, UI::Appearance appearance)
{
    if (severity == NovikSeverity::unknown)
        return std::nullopt;
    auto const value = NovikPalette::color(severity).resolved(appearance);
    return fmt::format("#{:02X}{:02X}{:02X}", channel(value.red), channel(value.green), channel(value.blue));
}

std::string markedText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance,
    const std::function<std::string(std::string_view text)>& escape,
    const std::function<std::string(const std::string& color, const std::string& escapedText)>& wrap)
{
    std::string line;
    for (auto const& piece : pieces) {
        auto const color = piece.severity ? statusBarColor(*piece.severity, appearance) : std::nullopt;
        line += color ? wrap(*color, escape(piece.text)) : escape(piece.text);
    }
    return line;
}

std::vector<StatusBarPiece> providerPieces(const StatusBarProvider& provider)
{
    // A stale value is not coloured by its severity: it may no longer hold.
    auto const severity = provider.stale() ? std::nullopt : std::optional(provider.severity);
    std::vector<StatusBarPiece> pieces { { provider.shortTitle() + " ", std::nullopt }, { provider.percentageText(), severity } };
    if (provider.stale()) {
        pieces.push_back({ " ", std::nullopt });
        pieces.push_back({ L10n::tr("bar.stale_mark"), NovikSeverity::watch });
    }
    return pieces;
}

std::vector<StatusBarPiece> statusBarPieces(const StatusBarSummary& summary)
{
    if (auto const empty = summary.emptyLine())
        return { { *empty, std::nullopt } };
    std::vector<StatusBarPiece> pieces;
    for (auto const& provider : summary.providers()) {
        if (!pieces.empty())
            pieces.push_back({ std::string(providerSeparator), std::nullopt });
        auto const own = providerPieces(provider);
        pieces.insert(pieces.end(), own.begin(), own.end());
    }
    return pieces;
}

std::string plainText(const std::vector<StatusBarPiece>& pieces)
{
    std::string line;
    for (auto const& piece : pieces)
        line += piece.text;
    return line;
}

std::string tmuxText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance)
{
    return markedText(
        pieces, appearance, [](std::string_view text) { return replacedAll(text, "#", "##"); },
        [](const std::string& color, const std::string& text) { return fmt::format("#[fg={}]{}#[default]", replacedAll(color, "#", "##"), text); });
}

std::string polybarText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance)
{
    return markedText(
        pieces, appearance, [](std::string_view text) { return replacedAll(text, "%{", "%"); },
        [](const std::string& color, const std::string& text) { return fmt::format("%{{F{}}}{}%{{F-}}", color, text); });
}

} // namespace TavvoSurfaces
