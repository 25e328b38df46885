// StatusBarOutput: what `bar` prints for a summary in each format, and the
// framing a protocol needs around its lines. Every line is one line: a
// bar reads the output line by line and shows the latest. Only the genmon
// and conky texts span several lines: their hosts run the command anew each
// time and read all it printed.
//
//   waybar   {"text":"Codex 64% · Claude 42%","tooltip":"…","class":["ok"],"percentage":42,"alt":"ok"}
//            text and tooltip escaped for Pango markup, which Waybar reads
//   i3bar    [{"name":"tavvo","instance":"codex","full_text":"Codex 64%","short_text":"64%",
//             "color":"#75FA91","urgent":false}, …], after the header {"version":1} and "["
//   polybar  Codex %{F#75FA91}64%%{F-} · Claude %{F#EA541E}25%%{F-}
//   tmux     Codex #[fg=##75FA91]64%#[default] · Claude #[fg=##EA541E]25%#[default]
//   genmon   <txt>, <tool>, <bar>, <txtclick> of GenmonText.hpp
//   conky    the line with ${color …} marks, then the long form (ConkyText.hpp)
//   text     Codex 64% · Claude 25%
//   json     the document of StatusBarDocument.hpp
#pragma once

#include "Platform/UI/Color.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarFormat.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <filesystem>
#include <string>

namespace TavvoSurfaces {

struct StatusBarOutputOptions {
    // The appearance whose colours are written: dark bars are the rule.
    UI::Appearance appearance = UI::Appearance::dark;
    // The program a click runs to open the window (genmon): the one on
    // PATH unless told.
    std::filesystem::path program = "tavvo-widget";
};

// The line for `summary`, without its newline.
std::string statusBarLine(const StatusBarSummary& summary, StatusBarFormat format, const StatusBarOutputOptions& options = {});

// Whether the format shows the long form, whose countdowns time alone
// changes.
bool showsLongForm(StatusBarFormat format);

// Whether the format's host reads a running command line by line; genmon
// and Conky wait for the command to end before they show anything.
bool streams(StatusBarFormat format);

// The text around the lines of one run: i3bar's protocol is a header and
// one endless JSON array of block arrays; the other formats are bare lines.
class StatusBarStream {
public:
    explicit StatusBarStream(StatusBarFormat format);

    // Before the first line.
    std::string opening() const;
    // A line with what must precede it and its newline.
    std::string next(const std::string& line);
    // After the last line of a run that ends by itself.
    std::string closing() const;

private:
    StatusBarFormat m_format;
    bool m_first = true;
};

} // namespace TavvoSurfaces
