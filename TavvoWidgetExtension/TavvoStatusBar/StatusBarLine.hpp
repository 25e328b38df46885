// StatusBarLine: the one line a bar shows, as pieces that may carry a
// severity, and that line in the plain, tmux and polybar markups.
//
//   Codex 64% · Claude 42% ⚠
//
// Each displayed provider reads as its short title and the remaining share
// of its binding limit in its severity's colour; a stale one is followed
// by the stale mark in the watch colour. Colours are the design kit's
// values for the bar's appearance: dark unless told otherwise, as bars are
// dark far more often than not; the light values are made for light
// panels.
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoShared/NovikDesign/NovikSeverity.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace TavvoSurfaces {

struct StatusBarPiece {
    std::string text;
    // Whose colour the piece is drawn in; nothing: the bar's own colour.
    std::optional<NovikSeverity> severity;

    friend bool operator==(const StatusBarPiece&, const StatusBarPiece&) = default;
};

// The severity's colour in `appearance` as "#RRGGBB"; nothing for unknown,
// which has no colour of its own.
std::optional<std::string> statusBarColor(NovikSeverity severity, UI::Appearance appearance);

// Each piece through `wrap` when it has a colour (given as "#RRGGBB"),
// and its text through `escape` in any case: the frame of every markup.
std::string markedText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance,
    const std::function<std::string(std::string_view text)>& escape,
    const std::function<std::string(const std::string& color, const std::string& escapedText)>& wrap);

// The pieces of one provider: title, percentage, stale mark.
std::vector<StatusBarPiece> providerPieces(const StatusBarProvider& provider);

// The whole line: the providers joined by " · ", or the empty line.
std::vector<StatusBarPiece> statusBarPieces(const StatusBarSummary& summary);

// The pieces as plain text, colours dropped.
std::string plainText(const std::vector<StatusBarPiece>& pieces);

// With tmux's style tags, "#[fg=##75FA91]64%#[default]". tmux reads a
// status command's output as a format, where "#F" or "#D" of a colour
// would stand for the window's flags or the pane's id: every "#" of a
// colour or of the text is doubled, tmux's way of writing one.
std::string tmuxText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance);

// With polybar's colour tags, "%{F#75FA91}64%%{F-}". Polybar has no escape
// for a tag's opening, so a "%{" of the text loses its brace.
std::string polybarText(const std::vector<StatusBarPiece>& pieces, UI::Appearance appearance);

} // namespace TavvoSurfaces
