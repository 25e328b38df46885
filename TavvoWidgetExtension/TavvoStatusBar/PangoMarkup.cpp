#include "TavvoWidgetExtension/TavvoStatusBar/PangoMarkup.hpp"

#include "Platform/Foundation/Module.hpp"

#include <fmt/format.h>
#include <glib.h>

#include <memory>

namespace TavvoSurfaces {

// GLib is loaded for the escaping on the first markup only: every other
// run of the widget program, a cold timeline above all, would otherwise map
// it for nothing.
std::string markupEscaped(const std::string& text)
{
    using Escape = decltype(&g_markup_escape_text);
    using Free = decltype(&g_free);
    static auto const escape = reinterpret_cast<Escape>(Foundation::systemLibrarySymbol("libglib-2.0.so.0", "g_markup_escape_text"));
    static auto const release = reinterpret_cast<Free>(Foundation::systemLibrarySymbol("libglib-2.0.so.0", "g_free"));
    std::unique_ptr<char, Free> const escaped(escape(text.data(), static_cast<gssize>(text.size())), release);
    return escaped.get();
}

std::string markupText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance)
{
    return markedText(
        pieces, appearance, [](std::string_view text) { return markupEscaped(std::string(text)); },
        [](const std::string& color, const std::string& text) { return fmt::format("<span foreground=\"{}\">{}</span>", color, text); });
}

} // namespace TavvoSurfaces
