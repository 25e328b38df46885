// StatusBarOutput: what `bar` prints for a summary in each format, and the
// framing a protocol needs around its lines. Every line is one line: a
// bar reads the output line by line and shows the latest.
//
//   waybar   {"text":"Codex 64% · Claude 42%","tooltip":"…","class":["ok"],"percentage":42,"alt":"ok"}
//            text and tooltip escaped for Pango markup, which Waybar reads
//   i3bar    [{"name":"tavvo","instance":"codex","full_text":"Codex 64%","short_text":"64%",
//             "color":"#75FA91","urgent":false}, …], after the header {"version":1} and "["
//   polybar  Codex %{F#75FA91}64%%{F-} · Claude %{F#EA541E}25%%{F-}
//   tmux     Codex #[fg=##75FA91]64%#[default] · Claude #[fg=##EA541E]25%#[default]
//   text     Codex 64% · Claude 25%
//   json     the document of StatusBarDocument.hpp
#pragma once

#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarFormat.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarSummary.hpp"

#include <string>

namespace TavvoSurfaces {

// The line for `summary`, without its newline.
std::string statusBarLine(const StatusBarSummary& summary, StatusBarFormat format);

// Whether the format shows the long form, whose countdowns time alone
// changes.
bool showsLongForm(StatusBarFormat format);

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
