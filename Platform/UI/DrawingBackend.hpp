// DrawingBackend: what Pango and Cairo do for this library, in a module
// beside it (the build names its file) loaded the first time a text is set
// or a canvas is drawn. A program that builds views but never lays out or
// draws them, such as a widget answering a timeline request, so never maps
// Pango, Cairo, fontconfig, FreeType, HarfBuzz, GLib or X11.
#pragma once

#include "Platform/UI/Canvas.hpp"
#include "Platform/UI/TextLayout.hpp"

#include <memory>
#include <string>
#include <string_view>

namespace UI {

class DrawingBackend {
public:
    virtual ~DrawingBackend() = default;

    virtual std::shared_ptr<const TextLayout> setText(std::string_view string, const TextSetting& setting) const = 0;
    // As Canvas::png, svg, pdf and image.
    virtual std::string png(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const = 0;
    virtual std::string svg(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const = 0;
    virtual std::string pdf(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const = 0;
    virtual Image image(Size size, double scale, Appearance appearance, const Canvas::Drawing& drawing) const = 0;
};

// The module's backend, loaded once. Throws std::runtime_error saying why
// when the module cannot be loaded.
const DrawingBackend& drawingBackend();

}

// The module's one entry point.
extern "C" const UI::DrawingBackend* uiDrawingBackend();
