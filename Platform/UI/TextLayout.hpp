// TextLayout: one run of text set by Pango from a TextSetting. Measuring
// and drawing both go through it, so the lines drawn are the lines
// measured. A layout belongs to the thread that made it.
#pragma once

#include "Platform/UI/Font.hpp"
#include "Platform/UI/Geometry.hpp"

#include <string_view>
#include <thread>

extern "C" {
typedef struct _PangoLayout PangoLayout;
}

namespace UI {

class TextLayout {
public:
    // `string` is UTF-8.
    TextLayout(std::string_view string, const TextSetting& setting);
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;
    ~TextLayout();

    // The extent of the lines: the widest line's width by the height of
    // all lines.
    Size size() const;
    // Distance from the top to the baseline of the first line.
    double firstBaseline() const;
    // Whether text was left out and an ellipsis shown.
    bool isTruncated() const;
    // Characters that no installed font could show.
    int unknownGlyphCount() const;
    int lineCount() const;
    // Whether this thread made the layout, and so may draw it.
    bool isUsableOnThisThread() const;

    PangoLayout* pangoLayout() const { return m_layout; }

private:
    PangoLayout* m_layout;
    std::thread::id m_thread;
};

}
