// TextLayout: one run of text set from a TextSetting. Measuring and
// drawing both go through it, so the lines drawn are the lines measured.
// A layout belongs to the thread that made it.
#pragma once

#include "Platform/UI/Font.hpp"
#include "Platform/UI/Geometry.hpp"

#include <memory>
#include <string_view>

namespace UI {

class TextLayout {
public:
    // Sets `string` (UTF-8). Throws std::runtime_error when the drawing
    // module cannot be loaded.
    static std::shared_ptr<const TextLayout> set(std::string_view string, const TextSetting& setting);

    virtual ~TextLayout() = default;

    // The extent of the lines: the widest line's width by the height of
    // all lines.
    virtual Size size() const = 0;
    // Distance from the top to the baseline of the first line.
    virtual double firstBaseline() const = 0;
    // Whether text was left out and an ellipsis shown.
    virtual bool isTruncated() const = 0;
    // Characters that no installed font could show.
    virtual int unknownGlyphCount() const = 0;
    virtual int lineCount() const = 0;
    // Whether this thread made the layout, and so may draw it.
    virtual bool isUsableOnThisThread() const = 0;
};

}
