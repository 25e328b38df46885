// Canvas: what the renderer draws on. The renderer walks a laid-out tree
// and tells the canvas what to draw in points; the canvas knows the surface
// (an image, an SVG or a PDF document), its scale, and the appearance
// colors resolve in. The drawing module draws it with Cairo.
#pragma once

#include "Platform/UI/Color.hpp"
#include "Platform/UI/Geometry.hpp"
#include "Platform/UI/Image.hpp"
#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/Paint.hpp"
#include "Platform/UI/ShapePath.hpp"
#include "Platform/UI/StrokeStyle.hpp"

#include <functional>
#include <string>

namespace UI {

// An image or a document is at most this many pixels (or units) on a
// side; a larger drawing is cut off at the right and at the bottom. It
// keeps an absurd size from asking for gigabytes.
inline constexpr int maximumCanvasLength = 8192;

class Canvas {
public:
    using Drawing = std::function<void(Canvas&)>;

    // A canvas of `size` points, `scale` pixels (or document units) per
    // point, is drawn by `drawing` and encoded. The scale is clamped to
    // [0.01, 64], NaN counting as 1; each side is rounded up to whole
    // pixels, at least 1. Throws std::runtime_error when Cairo fails or
    // the drawing module cannot be loaded.
    static std::string png(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static std::string svg(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static std::string pdf(Size size, double scale, Appearance appearance, const Drawing& drawing);
    static Image image(Size size, double scale, Appearance appearance, const Drawing& drawing);

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    virtual ~Canvas() = default;

    // Every change of state (rotation, layer) between a save and its
    // restore is undone by the restore.
    virtual void save() = 0;
    virtual void restore() = 0;
    virtual void rotate(double degrees, Point center) = 0;
    // What is drawn until endLayer() is composed apart, then painted at
    // `opacity`, so overlapping parts do not show through each other.
    virtual void beginLayer() = 0;
    virtual void endLayer(double opacity) = 0;

    virtual void fill(const ShapePath& path, const Rect& frame, const Paint& paint) = 0;
    virtual void stroke(const ShapePath& path, const Rect& frame, const Paint& paint, const StrokeStyle& style) = 0;
    // Draws the text as it was measured from the frame's top-leading corner.
    virtual void drawText(const LaidOutText& text, const Rect& frame) = 0;

protected:
    Canvas() = default;
};

}
